#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    // Replaces the list with the lines of the file at path. On any failure (a Failure
    // carrying the message) the previous list stays exactly as it was.
    void load(const std::string &path);

    std::size_t count() const;
    // Throws Failure "リストのインデックスが範囲を超えています (%d)" outside 0 .. count - 1.
    Record record(std::int64_t index) const;

private:
    std::shared_ptr<const std::string> m_file;
    std::vector<std::uint64_t> m_bounds; // start and end offset of each record
};
