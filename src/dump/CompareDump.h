#pragma once

#include "RecordComparison.h"
#include "RecordDump.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Where a compared record comes from, for the header.
struct CompareSource
{
    std::string path;
    std::uint64_t recordNumber = 0; // from 1
    std::uint64_t count = 0;        // of the file's records
};

// Two records' dumps shown against each other: five header lines, then per 100-byte block
// A's character row, the ruler, A's digit rows, B's three rows, a marker row with "*" under
// every differing column, and a blank line. Each side's rows come from its own RecordDump,
// so the encoding and the overhang rules are those of a single record's dump; a side's row
// is labelled in place of its offset field or digit indent, A's character row keeps the
// block's offset.
class CompareDump
{
public:
    enum class Side { A, B };
    enum class LineKind { Header, Characters, Ruler, HighDigits, LowDigits, Markers, Blank };

    // What a line shows: a side's dump line, or text of its own.
    struct Origin
    {
        LineKind kind = LineKind::Header;
        std::optional<Side> side;
        // The side's dump and its line, when that side has the block; else the line is the
        // label alone.
        const RecordDump *dump = nullptr;
        std::size_t dumpLine = 0;
        // Replaces as many characters at the start of the dump line; empty keeps them.
        std::string label;
    };

    // Both dumps in the same encoding.
    CompareDump(std::shared_ptr<const RecordDump> a, std::shared_ptr<const RecordDump> b,
                CompareSource sourceA, CompareSource sourceB);

    const RecordDump &dumpA() const { return *m_a; }
    const RecordDump &dumpB() const { return *m_b; }
    const RecordComparison &comparison() const { return m_comparison; }
    std::size_t blockCount() const;
    std::size_t lineCount() const;
    // Lines at or past lineCount() throw std::out_of_range.
    Origin origin(std::size_t line) const;
    // The line as bytes, as RecordDump::line has them: character rows in the records' code.
    std::string line(std::size_t line) const;
    // The record's columns the line shows, from .. to; nothing for a header or blank line.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> columnsOf(std::size_t line) const;

    static std::size_t blockOfLine(std::size_t line);
    static std::size_t firstLineOfBlock(std::size_t block);
    // The line of a block that shows kind for side (Ruler, Markers and Blank have no side).
    static std::size_t lineOf(std::size_t block, LineKind kind, std::optional<Side> side);

private:
    std::string headerLine(std::size_t line) const;
    std::string markerRow(std::size_t block) const;
    const RecordDump &dumpOf(Side side) const { return side == Side::A ? *m_a : *m_b; }

    std::shared_ptr<const RecordDump> m_a;
    std::shared_ptr<const RecordDump> m_b;
    CompareSource m_sourceA;
    CompareSource m_sourceB;
    RecordComparison m_comparison;
};
