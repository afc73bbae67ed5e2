#include "RecordIndex.h"

#include "LineSplitter.h"

#include <algorithm>
#include <bit>
#include <new>

namespace {

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

// Position of the lowest set bit; any value once none is left.
std::uint64_t lowestBit(std::uint64_t bits)
{
    return static_cast<std::uint64_t>(std::countr_zero(bits | (std::uint64_t{1} << 63)));
}

} // namespace

RecordIndex::Builder::Builder(RecordIndex &index, std::uint64_t mostStarts,
                              std::uint64_t memoryLimit)
    : m_index(index), m_unplaced(mostStarts), m_memoryLeft(memoryLimit)
{
    addChunk();
}

void RecordIndex::Builder::add(std::uint64_t base, std::uint64_t bits)
{
    std::uint64_t *out = m_chunk + m_used;
    std::size_t count = 0;
    // Lines are short: writing four whether there or not spares a branch per start.
    for (std::size_t i = 0; i < 4; ++i, bits &= bits - 1) {
        out[i] = base + lowestBit(bits);
        count += bits != 0;
    }
    for (; bits != 0; bits &= bits - 1)
        out[count++] = base + lowestBit(bits);
    advance(count);
}

void RecordIndex::Builder::addChunk()
{
    const auto starts = std::min<std::uint64_t>(kChunkStarts, m_unplaced);
    const auto bytes = (starts + kSlackStarts) * sizeof(std::uint64_t);
    if (bytes > m_memoryLeft)
        throw std::bad_alloc();
    m_index.m_chunks.push_back(LargePages::allocate<std::uint64_t>(starts + kSlackStarts));
    m_chunk = m_index.m_chunks.back().get();
    m_memoryLeft -= bytes;
    m_unplaced -= starts;
}

void RecordIndex::Builder::advance(std::size_t count)
{
    m_used += count;
    if (m_used <= kChunkStarts)
        return;
    const std::uint64_t *overflow = m_chunk + kChunkStarts;
    m_used -= kChunkStarts;
    addChunk();
    std::copy(overflow, overflow + m_used, m_chunk);
}

RecordIndex::RecordIndex(std::string_view file, std::uint64_t memoryLimit)
{
    LineSplitter splitter(*this, file.size(), memoryLimit);
    splitter.take(file, true);
}

std::string_view RecordIndex::record(std::string_view file, std::size_t index) const
{
    const std::uint64_t begin = start(index);
    std::uint64_t end = start(index + 1);
    while (end > begin && isLineEnd(file[end - 1]))
        --end;
    return file.substr(begin, end - begin);
}

std::size_t RecordIndex::recordAt(std::uint64_t offset) const
{
    if (offset >= textEnd())
        return m_count;
    std::size_t low = 0;
    std::size_t high = m_count; // start(high) > offset
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (start(middle) <= offset)
            low = middle;
        else
            high = middle;
    }
    return low;
}

void RecordIndex::swap(RecordIndex &other) noexcept
{
    m_chunks.swap(other.m_chunks);
    std::swap(m_count, other.m_count);
}
