#include "RecordIndex.h"

#include "LineSplitter.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::uint64_t kMostOffset = std::numeric_limits<std::uint32_t>::max();

bool isLineEnd(char byte)
{
    return byte == '\r' || byte == '\n';
}

// The last i of [low, high) whose start is at or before offset, where low's is.
template <class StartOf>
std::size_t lastAtOrBefore(std::size_t low, std::size_t high, std::uint64_t offset,
                           StartOf startOf)
{
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (startOf(middle) <= offset)
            low = middle;
        else
            high = middle;
    }
    return low;
}

} // namespace

RecordIndex::Builder::Builder(RecordIndex &index, std::uint64_t mostStarts,
                              std::uint64_t memoryLimit)
    : m_index(index), m_unplaced(mostStarts), m_memoryLeft(memoryLimit)
{
    addChunk();
}

void RecordIndex::Builder::add(std::uint64_t start)
{
    if (m_used == m_capacity)
        addChunk();
    std::uint64_t offset = start - m_blockBase;
    if (m_size % kBlockStarts == 0) {
        startBlock(start);
        offset = 0;
    } else if (wide() || offset > kMostOffset) {
        if (!wide())
            widen();
        m_index.m_wide.back().push_back(start);
        offset = 0;
    }
    m_chunk[m_used++] = static_cast<std::uint32_t>(offset);
    ++m_size;
    updateRoom();
}

void RecordIndex::Builder::addEach(std::uint64_t base, std::uint64_t bits)
{
    for (; bits != 0; bits &= bits - 1)
        add(base + lowestBit(bits));
}

void RecordIndex::Builder::append(RecordIndex &other, std::size_t starts)
{
    for (std::size_t from = 0; from < starts;) {
        const std::size_t run =
            std::min({starts - from, kBlockStarts - from % kBlockStarts, m_room});
        const std::uint64_t base = other.m_bases[from / kBlockStarts];
        const std::uint32_t *offsets =
            other.m_chunks[from / kChunkStarts].get() + from % kChunkStarts;
        if (run > 0 && !(base & kWide) && base + offsets[run - 1] - m_blockBase <= kMostOffset) {
            const auto shift = static_cast<std::uint32_t>(base - m_blockBase);
            std::uint32_t *out = m_chunk + m_used;
            for (std::size_t i = 0; i < run; ++i)
                out[i] = offsets[i] + shift;
            m_used += run;
            m_size += run;
            m_room -= run;
            from += run;
        } else {
            add(other.start(from++));
        }
        // What is copied is freed at once, so that the two never take twice the room.
        if (from % kChunkStarts == 0)
            other.m_chunks[from / kChunkStarts - 1].reset();
    }
    RecordIndex().swap(other);
}

void RecordIndex::Builder::addChunk()
{
    const auto starts = std::clamp<std::uint64_t>(m_unplaced, 1, kChunkStarts);
    charge(starts * sizeof(std::uint32_t));
    m_index.m_chunks.push_back(LargePages::allocate<std::uint32_t>(starts));
    m_chunk = m_index.m_chunks.back().get();
    m_used = 0;
    m_capacity = starts;
    m_unplaced -= std::min(m_unplaced, starts);
}

void RecordIndex::Builder::startBlock(std::uint64_t start)
{
    charge(sizeof(std::uint64_t));
    m_index.m_bases.push_back(start);
    m_blockBase = start;
}

// Moves the starts of the last block, which is not full, to the side, whole.
void RecordIndex::Builder::widen()
{
    charge(kBlockStarts * sizeof(std::uint64_t));
    std::vector<std::uint64_t> starts;
    starts.reserve(kBlockStarts);
    const std::size_t inBlock = m_size % kBlockStarts;
    for (const std::uint32_t *offset = m_chunk + m_used - inBlock; offset != m_chunk + m_used;
         ++offset)
        starts.push_back(m_blockBase + *offset);
    m_index.m_bases.back() = kWide | m_index.m_wide.size();
    m_index.m_wide.push_back(std::move(starts));
}

void RecordIndex::Builder::charge(std::uint64_t bytes)
{
    if (bytes > m_memoryLeft)
        throw std::bad_alloc();
    m_memoryLeft -= bytes;
}

void RecordIndex::Builder::updateRoom()
{
    const std::size_t inBlock = m_size % kBlockStarts;
    // A block's first start goes through add(), which begins the block.
    m_room = inBlock == 0 || wide() ? 0 : std::min(m_capacity - m_used, kBlockStarts - inBlock);
}

RecordIndex::RecordIndex(std::string_view file, std::uint64_t memoryLimit)
{
    RecordIndex index = LineSplitter::split(file, memoryLimit);
    swap(index);
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
    // The last block that starts at or before offset, then the last start in it.
    const std::size_t block = lastAtOrBefore(0, m_bases.size(), offset,
                                             [this](std::size_t b) { return blockFirst(b); });
    const std::size_t first = block * kBlockStarts;
    return lastAtOrBefore(first, std::min(first + kBlockStarts, m_count), offset,
                          [this](std::size_t i) { return start(i); });
}

void RecordIndex::swap(RecordIndex &other) noexcept
{
    m_chunks.swap(other.m_chunks);
    m_bases.swap(other.m_bases);
    m_wide.swap(other.m_wide);
    std::swap(m_count, other.m_count);
}
