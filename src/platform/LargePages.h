#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

// Big buffers that are about to be filled. Backed by large pages they cost far fewer page
// faults, which are dear, above all on virtual machines.
class LargePages
{
public:
    // Frees what allocate() gave.
    class Deleter
    {
    public:
        Deleter() = default;
        explicit Deleter(std::size_t alignment) : m_alignment(alignment) {}
        void operator()(void *data) const;

    private:
        std::size_t m_alignment = alignof(std::max_align_t);
    };

    template <class T> using Buffer = std::unique_ptr<T[], Deleter>;

    // Room for count objects of the trivial type T, not initialised, on large pages where
    // the system offers them. Throws std::bad_alloc.
    template <class T> static Buffer<T> allocate(std::size_t count)
    {
        static_assert(std::is_trivial_v<T>);
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_alloc();
        const std::size_t alignment = alignmentFor(count * sizeof(T));
        return Buffer<T>(static_cast<T *>(allocateBytes(count * sizeof(T), alignment)),
                         Deleter(alignment));
    }

    // Asks for large pages behind [data, data + size) before its first touch; where the
    // advice is not supported it does nothing.
    static void prefer(const void *data, std::size_t size);

private:
    static std::size_t alignmentFor(std::size_t bytes);
    static void *allocateBytes(std::size_t bytes, std::size_t alignment);
};
