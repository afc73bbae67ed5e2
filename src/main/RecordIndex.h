#pragma once

#include "LargePages.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Where the records of a file start. Records end at CR, LF or CR LF (LF CR is a line end and
// then an empty record), the first NUL ends the whole file, and a line end at the very end
// adds no empty record. Costs 8 bytes a record and no copy of the file's bytes.
class RecordIndex
{
public:
    RecordIndex() = default;
    // Throws std::bad_alloc when the index would take more than memoryLimit bytes.
    RecordIndex(std::string_view file, std::uint64_t memoryLimit);

    std::size_t count() const { return m_count; }
    // The record at index (below count()) of file, the bytes the index was built from.
    std::string_view record(std::string_view file, std::size_t index) const;
    // The record whose bytes or line end hold the file's byte at offset; count() for a byte
    // past the last line end or the first NUL.
    std::size_t recordAt(std::uint64_t offset) const;
    // Where the records end, line end included: the end of the file's text.
    std::uint64_t textEnd() const { return m_count == 0 ? 0 : start(m_count); }

    void swap(RecordIndex &other) noexcept;

private:
    // A chunk takes 8 MiB, four large pages. Its last entries are room for a block's starts,
    // which are written before they are counted.
    static constexpr std::size_t kChunkEntries = std::size_t{1} << 20;
    static constexpr std::size_t kSlackStarts = 64;
    static constexpr std::size_t kChunkStarts = kChunkEntries - kSlackStarts;

    class Builder;

    std::uint64_t start(std::size_t index) const
    {
        return m_chunks[index / kChunkStarts][index % kChunkStarts];
    }

    // The offset of each record's first byte, then where the last record and its line end
    // stop; ends are not kept, as only the CR and LF of a line end lie between a record and
    // the next start. Chunks of kChunkStarts, all full but the last, so the index grows
    // without copying and without the overshoot of a doubling array.
    std::vector<LargePages::Buffer<std::uint64_t>> m_chunks;
    std::size_t m_count = 0;
};
