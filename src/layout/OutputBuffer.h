#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

// Bytes written in place through a pointer: room is made first, without filling it, and what
// was written is taken after. Appending a character at a time to a string is slow.
class OutputBuffer
{
public:
    std::string_view view() const { return {m_data.get(), m_size}; }
    std::size_t size() const { return m_size; }
    void clear() { m_size = 0; }

    // The end of what was written, with room for at least bytes more after it. Earlier
    // pointers no longer hold once it makes room.
    char *room(std::size_t bytes)
    {
        if (m_capacity - m_size < bytes)
            grow(bytes);
        return m_data.get() + m_size;
    }
    // Takes what was written from the end up to end, within the room made.
    void commit(const char *end) { m_size = static_cast<std::size_t>(end - m_data.get()); }

private:
    void grow(std::size_t bytes);

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
