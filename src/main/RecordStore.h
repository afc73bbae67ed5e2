#pragma once

#include "RecordIndex.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

// One record: a view into the bytes of the file it came from, which it keeps alive,
// so that a dump on screen survives the load of another file.
struct Record
{
    std::shared_ptr<const std::string> file;
    std::string_view bytes;
};

// The loaded file as a list of records, one per line. The file's bytes are held once;
// records are offsets into them.
class RecordStore
{
public:
    // memoryLimit: most bytes a load may take for the file and its index; needing more fails
    // as running out of memory does. Lets tests exhaust memory on purpose.
    explicit RecordStore(std::uint64_t memoryLimit = std::numeric_limits<std::uint64_t>::max())
        : m_memoryLimit(memoryLimit)
    {}

    // Replaces the list with the lines of the file at path. On any failure (a Failure
    // carrying the message, "メモリが足りません" when memory runs out) the previous list
    // stays exactly as it was.
    void load(const std::string &path);

    std::size_t count() const;
    // Throws Failure "リストのインデックスが範囲を超えています (%d)" outside 0 .. count - 1.
    Record record(std::int64_t index) const;
    // The file's bytes, which every record views.
    std::string_view bytes() const
    {
        return m_file ? std::string_view(*m_file) : std::string_view();
    }
    // The record (from 0) that holds the byte at offset of bytes(), its line end included;
    // count() past the last one.
    std::size_t recordAt(std::uint64_t offset) const { return m_index.recordAt(offset); }

private:
    std::string readFile(const std::string &path) const;

    std::uint64_t m_memoryLimit;
    std::shared_ptr<const std::string> m_file;
    RecordIndex m_index;
};
