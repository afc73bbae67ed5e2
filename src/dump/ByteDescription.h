#pragma once

#include <cstdint>
#include <string>

class RecordDump;

// The status line's words on one byte of the shown record: its offset and value, the unit it
// belongs to with its code points and bytes, and the encoding, or why the unit is marked.
class ByteDescription
{
public:
    // offset: below the record's length.
    static std::string of(const RecordDump &dump, std::uint64_t offset);
};
