#pragma once

#include "LargePages.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

// Offsets into a file's bytes where its records start, at 4 bytes a record and no copy of the
// bytes. Built by a splitter: the line splitter keeps the start of each line and then the end
// of the last; the RDW splitter keeps the start of each record's data and then the file's end.
//
// Starts come in blocks of kBlockStarts: a block keeps its first start whole and the others as
// 32-bit distances from it. A block whose starts span 4 GiB or more, rare as its records then
// average over 1 MiB, keeps them all whole on the side.
class RecordIndex
{
public:
    static constexpr std::size_t kBlockStarts = 4096;

    // Appends starts to an index, in order, none below the one before.
    class Builder
    {
    public:
        // mostStarts: no more will be added. Throws std::bad_alloc when the index would take
        // more than memoryLimit bytes.
        Builder(RecordIndex &index, std::uint64_t mostStarts, std::uint64_t memoryLimit);

        void add(std::uint64_t start);
        // Adds base + i for every bit i set in bits. Inline, as the line scan calls it for every
        // 64 bytes.
        void add(std::uint64_t base, std::uint64_t bits)
        {
            const std::uint64_t offset = base - m_blockBase;
            if (m_room < 64 || offset > kMostFastBase) [[unlikely]] {
                addEach(base, bits);
                return;
            }
            std::uint32_t *out = m_chunk + m_used;
            const auto count = static_cast<std::size_t>(std::popcount(bits));
            // Lines are short: writing four whether there or not spares a branch per start.
            for (std::size_t i = 0; i < 4; ++i, bits &= bits - 1)
                out[i] = static_cast<std::uint32_t>(offset + lowestBit(bits));
            for (std::size_t i = 4; bits != 0; ++i, bits &= bits - 1)
                out[i] = static_cast<std::uint32_t>(offset + lowestBit(bits));
            m_used += count;
            m_size += count;
            m_room -= count;
        }
        // Adds the first starts starts of other, which is left empty.
        void append(RecordIndex &other, std::size_t starts);

        std::uint64_t last() const
        {
            return wide() ? m_index.m_wide.back().back() : m_blockBase + m_chunk[m_used - 1];
        }
        std::size_t size() const { return m_size; }
        // The index then has count records.
        void finish(std::size_t count) { m_index.m_count = count; }

    private:
        // Offsets below this leave room for a block of 64 bytes' starts.
        static constexpr std::uint64_t kMostFastBase =
            std::numeric_limits<std::uint32_t>::max() - 64;

        // Position of the lowest set bit; any value once none is left.
        static std::uint64_t lowestBit(std::uint64_t bits)
        {
            return static_cast<std::uint64_t>(std::countr_zero(bits | (std::uint64_t{1} << 63)));
        }

        void addEach(std::uint64_t base, std::uint64_t bits);
        void addChunk();
        void startBlock(std::uint64_t start);
        void widen();
        bool wide() const { return m_index.m_bases.back() & kWide; }
        void charge(std::uint64_t bytes);
        void updateRoom();

        RecordIndex &m_index;
        std::uint64_t m_unplaced; // most starts still to come that no chunk has room for
        std::uint64_t m_memoryLeft;
        std::uint32_t *m_chunk = nullptr; // the last chunk
        std::size_t m_used = 0;           // starts in the last chunk
        std::size_t m_capacity = 0;       // of the last chunk
        std::size_t m_size = 0;           // starts in all
        std::uint64_t m_blockBase = 0;    // first start of the last block
        // Starts that can be written at once: to the end of the chunk or the block, none once
        // the block is wide.
        std::size_t m_room = 0;
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
        const std::uint64_t base = m_bases[index / kBlockStarts];
        if (base & kWide) [[unlikely]]
            return m_wide[base & ~kWide][index % kBlockStarts];
        return base + m_chunks[index / kChunkStarts][index % kChunkStarts];
    }

    void swap(RecordIndex &other) noexcept;

private:
    // A chunk takes 4 MiB, two large pages; a whole number of blocks.
    static constexpr std::size_t kChunkStarts = std::size_t{1} << 20;
    static_assert(kChunkStarts % kBlockStarts == 0);
    // Marks a base that is the number of a wide block's starts in m_wide.
    static constexpr std::uint64_t kWide = std::uint64_t{1} << 63;

    std::uint64_t blockFirst(std::size_t block) const { return start(block * kBlockStarts); }

    // Chunks of kChunkStarts, all full but the last, so the index grows without copying and
    // without the overshoot of a doubling array.
    std::vector<LargePages::Buffer<std::uint32_t>> m_chunks;
    std::vector<std::uint64_t> m_bases; // a block's first start, or kWide | its place in m_wide
    std::vector<std::vector<std::uint64_t>> m_wide;
    std::size_t m_count = 0;
};
