#include "OutputBuffer.h"

#include <algorithm>
#include <cstring>

void OutputBuffer::grow(std::size_t bytes)
{
    const std::size_t capacity = std::max(m_capacity * 2, m_size + bytes);
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_size != 0)
        std::memcpy(data.get(), m_data.get(), m_size);
    m_data = std::move(data);
    m_capacity = capacity;
}
