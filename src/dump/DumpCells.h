#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CodePageDecoder;
class RecordDump;

// One character of a dump line as a view shows it: UTF-8 text and its width in grid cells.
struct DumpCell
{
    std::string text;
    std::uint8_t width = 1;

    bool operator==(const DumpCell &) const = default;
};

// Splits the lines of a dump into grid cells, so that a character and the digits of its bytes
// stand in the same columns whatever advance widths the font has: a single byte takes one
// cell, a double-byte character two.
class DumpCells
{
public:
    explicit DumpCells(const CodePageDecoder &decoder);

    std::vector<DumpCell> line(const RecordDump &dump, std::size_t index) const;
    // A character row cut into its characters of one or two bytes of the code page.
    std::vector<DumpCell> characterRow(const std::vector<std::string_view> &row) const;
    // A character row under an encoding of its own rules (not the lead-byte pages): a printable
    // character of n bytes and width w is its cell and n - w blank cells, any other unit a "."
    // for each byte, a byte of a unit begun in the block before a blank.
    static std::vector<DumpCell> unitRow(const RecordDump &dump, std::size_t index);
    // Any other line: UTF-8, a wide character taking two cells as it would in the code page.
    static std::vector<DumpCell> textRow(std::string_view utf8);

private:
    const CodePageDecoder &m_decoder;
};
