#pragma once

#include "ByteClasses.h"
#include "Encoding.h"
#include "RecordStore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The header texts of a dump, as the window's labels hold them when the record is rendered.
struct DumpHeader
{
    std::string path;        // Label1: the loaded file's path
    std::string lengthLabel; // Label3: "Record Length : 000007"
    std::int64_t recordNumber = 0;
    std::string countLabel; // Label2: "/0000003"
};

// The vertical hex dump of one record: five header lines, then five lines per 100-byte block.
// Any line can be had on its own, so a view draws only what is in sight; building costs a
// look at the bytes before each block boundary and nothing per line.
class RecordDump
{
public:
    enum class LineKind { Header, Characters, Ruler, HighDigits, LowDigits, Blank };

    // One unit of a character row: a unit that begins in the row's block, or, continued, a
    // byte of one begun in the block before.
    struct RowUnit
    {
        std::uint64_t offset = 0; // of its first byte in the record
        std::uint8_t length = 1;  // of the whole unit; a continued byte stands for one byte
        bool continued = false;
        UnitKind kind = UnitKind::Character;
        ShiftState state = 0; // before it

        bool operator==(const RowUnit &) const = default;
    };

    // Under the lead-byte rules of classes, which decode nothing.
    RecordDump(Record record, const ByteClasses &classes, DumpHeader header);
    RecordDump(Record record, std::shared_ptr<const Encoding> encoding, DumpHeader header);

    static std::string lengthLabel(std::uint64_t length); // "Record Length : " + "%.6d"
    static std::string countLabel(std::uint64_t count);   // "/" + "%.7d"

    const Record &record() const { return m_record; }
    const DumpHeader &header() const { return m_header; }
    const Encoding &encoding() const { return *m_encoding; }
    std::size_t lineCount() const;
    // Lines at or past lineCount() throw std::out_of_range, here and below.
    LineKind kindOf(std::size_t line) const;
    // Line without its line end. Character rows hold the record's own bytes; headers are UTF-8.
    std::string line(std::size_t line) const;
    // A character row cut into its characters, offset field included: one byte each, two for
    // a double-byte character. The views point into the record or into constant storage.
    // Other kinds of line throw std::invalid_argument.
    std::vector<std::string_view> characters(std::size_t line) const;
    // The units of a character row in order, from the one that holds the block's first byte.
    // Other kinds of line throw std::invalid_argument.
    std::vector<RowUnit> rowUnits(std::size_t line) const;
    // The unit that holds the record's byte at offset (below the record's size).
    RowUnit unitHolding(std::uint64_t offset) const;
    // The ill-formed, unmapped and shift units that have a byte in block (from 0).
    std::vector<Mark> marksOfBlock(std::size_t block) const;
    std::size_t blockCount() const;
    // The block shown by a line, and the first line of a block.
    static std::size_t blockOfLine(std::size_t line);
    static std::size_t firstLineOfBlock(std::size_t block);
    // "%.6d|" of the block's first offset, which begins its character row.
    static std::string offsetField(std::size_t block);
    // Whether a printable character unit stands as itself; else as a "." for each byte.
    bool shownAsItself(const RowUnit &unit) const;

    // The whole dump in one pass, every line followed by lineEnd.
    std::string text(std::string_view lineEnd = "\r\n") const;
    // The same bytes as text(), handed to sink in pieces of about a mebibyte, so that a big
    // record can be written out without holding its whole dump.
    void writeText(const std::function<void(std::string_view)> &sink,
                   std::string_view lineEnd = "\r\n") const;

private:
    bool startsWithTrail(std::size_t block) const;
    void learnBlockStarts();
    std::size_t maxLineLength(std::size_t line) const;
    char *writeLine(char *out, std::size_t line) const;
    char *writeLines(char *out, std::size_t first, std::size_t last,
                     std::string_view lineEnd) const;
    char *writeHeaderLine(char *out, std::size_t line) const;
    char *writeCharacterRow(char *out, std::size_t block) const;
    char *writeDigitRow(char *out, std::size_t block, int digit) const;
    char *writeUnitRow(char *out, std::size_t block) const;
    template <typename F> bool classifyBlock(std::size_t block, F &&f) const;
    template <typename F> void forEachUnitOfBlock(std::size_t block, F &&f) const;
    UnitStart holderOfBlockStart(std::size_t block) const;
    UnitStart holderFrom(UnitStart from, std::uint64_t offset) const;
    std::string_view bytesOf(const RowUnit &unit) const;

    Record m_record;
    std::shared_ptr<const Encoding> m_encoding;
    const ByteClasses *m_leadBytes; // the encoding's, when it keeps the lead-byte rules
    ByteClasses m_classes;
    DumpHeader m_header;
    // Per byte value, 1 or 0: a lead byte; shown as itself unless a trail byte (a lead byte or
    // a printable single byte).
    std::array<std::uint8_t, 256> m_lead{};
    std::array<std::uint8_t, 256> m_kept{};
    // Per block: its first byte is the trail byte of a character begun in the block before.
    std::vector<bool> m_trailStarts;
    // Under other encodings, per block as far as it was needed: where the unit that holds its
    // first byte begins, learnt by cutting on from the block before.
    mutable std::vector<UnitStart> m_holders;
};
