#pragma once

#include "LargePages.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Offsets into a file's bytes where its records start, at 8 bytes a record and no copy of the
// bytes. Built by a splitter: the line splitter keeps the start of each line and then the end
// of the last; the RDW splitter keeps the start of each record's data and then the file's end.
class RecordIndex
{
public:
    // Appends starts to an index, chunk by chunk.
    class Builder
    {
    public:
        // mostStarts: no more will be added. Throws std::bad_alloc when the index would take
        // more than memoryLimit bytes.
        Builder(RecordIndex &index, std::uint64_t mostStarts, std::uint64_t memoryLimit);

        void add(std::uint64_t start)
        {
            m_chunk[m_used] = start;
            advance(1);
        }
        // Adds base + i for every bit i set in bits.
        void add(std::uint64_t base, std::uint64_t bits);

        std::uint64_t last() const { return m_chunk[m_used - 1]; }
        std::size_t size() const { return (m_index.m_chunks.size() - 1) * kChunkStarts + m_used; }
        // The index then has count records.
        void finish(std::size_t count) { m_index.m_count = count; }

    private:
        void addChunk();
        void advance(std::size_t count);

        RecordIndex &m_index;
        std::uint64_t m_unplaced; // most starts still to come that no chunk has room for
        std::uint64_t m_memoryLeft;
        std::uint64_t *m_chunk = nullptr; // the last chunk
        std::size_t m_used = 0;           // starts in the last chunk
    };

    RecordIndex() = default;
    // The lines of file (see LineSplitter). Throws std::bad_alloc when the index would take
    // more than memoryLimit bytes.
    RecordIndex(std::string_view file, std::uint64_t memoryLimit);

    std::size_t count() const { return m_count; }
    // The line at index (below count()) of file, the bytes a line index was built from.
    std::string_view record(std::string_view file, std::size_t index) const;
    // The record whose bytes or line end hold the file's byte at offset; count() for a byte
    // past the last line end or the first NUL.
    std::size_t recordAt(std::uint64_t offset) const;
    // Where the records end, line end included: the end of the file's text.
    std::uint64_t textEnd() const { return m_count == 0 ? 0 : start(m_count); }

    std::uint64_t start(std::size_t index) const
    {
        return m_chunks[index / kChunkStarts][index % kChunkStarts];
    }

    void swap(RecordIndex &other) noexcept;

private:
    // A chunk takes 8 MiB, four large pages. Its last entries are room for a block's starts,
    // which are written before they are counted.
    static constexpr std::size_t kChunkEntries = std::size_t{1} << 20;
    static constexpr std::size_t kSlackStarts = 64;
    static constexpr std::size_t kChunkStarts = kChunkEntries - kSlackStarts;

    // Chunks of kChunkStarts, all full but the last, so the index grows without copying and
    // without the overshoot of a doubling array.
    std::vector<LargePages::Buffer<std::uint64_t>> m_chunks;
    std::size_t m_count = 0;
};
