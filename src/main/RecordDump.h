#pragma once

#include "ByteClasses.h"
#include "RecordStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The header texts of a dump, as the window's labels hold them when the record is rendered.
struct DumpHeader
{
    std::string path;        // Label1: the loaded file's path
    std::string lengthLabel; // Label3: "Record Length : 000007"
    std::int32_t recordNumber = 0;
    std::string countLabel; // Label2: "/0000003"
};

// The vertical hex dump of one record: five header lines, then five lines per 100-byte block.
// Any line can be had on its own, so a view draws only what is in sight; building costs one
// pass over the record and nothing per line.
class RecordDump
{
public:
    enum class LineKind { Header, Characters, Ruler, HighDigits, LowDigits, Blank };

    RecordDump(Record record, const ByteClasses &classes, DumpHeader header);

    static std::string lengthLabel(std::size_t length); // "Record Length : " + "%.6d"
    static std::string countLabel(std::size_t count);   // "/" + "%.7d"

    std::size_t lineCount() const;
    LineKind kindOf(std::size_t line) const;
    // Line without its line end. Character rows hold the record's own bytes; headers are UTF-8.
    std::string line(std::size_t line) const;
    // The whole dump in one pass, every line followed by lineEnd.
    std::string text(std::string_view lineEnd = "\r\n") const;
};
