#pragma once

#include "CompareDump.h"
#include "Mark.h"
#include "RecordDump.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The lines of the dump area: one record's dump, or two records' dumps shown against each
// other. It tells for any line which dump line it shows and which of the record's columns,
// so that the view cuts, marks and places the cursor on every line alike.
class DumpRows
{
public:
    struct Row
    {
        // The dump whose line this is, cut as that dump cuts it; null for a line of text.
        const RecordDump *dump = nullptr;
        std::size_t dumpLine = 0;
        // Without a dump the whole line; else it stands for as many of the line's first cells.
        std::string text;
        bool characters = false;
        // Where the block's bytes begin, one column each, in a character, digit or marker row.
        std::optional<int> firstByteColumn;
        std::size_t block = 0;
        std::uint64_t begin = 0; // the record's columns the row shows, begin .. end
        std::uint64_t end = 0;
        bool differences = false; // the two records' differing columns are marked in it
    };

    DumpRows() = default;
    explicit DumpRows(std::shared_ptr<const RecordDump> dump);
    explicit DumpRows(std::shared_ptr<const CompareDump> compare);

    const RecordDump *dump() const { return m_dump.get(); }
    const CompareDump *compare() const { return m_compare.get(); }
    // Of the dump's lines, without the empty line after the last.
    std::size_t lineCount() const;
    // line below lineCount().
    Row row(std::size_t line) const;
    // The encoding's marks of the row's block, and the differences where the row shows them.
    std::vector<Mark> marksOf(const Row &row) const;
    // The character row that shows the record's byte at offset: A's when A has the byte, else
    // B's; nothing past both records.
    std::optional<std::size_t> characterLineOf(std::uint64_t offset) const;
    // Comparing, the same side's high digit row, where a trail byte has a column of its own.
    std::optional<std::size_t> highDigitLineOf(std::uint64_t offset) const;
    // Every column either record has.
    std::uint64_t length() const;

private:
    Row dumpRow(std::size_t line) const;
    Row compareRow(std::size_t line) const;
    std::optional<CompareDump::Side> sideHolding(std::uint64_t offset) const;

    std::shared_ptr<const RecordDump> m_dump;
    std::shared_ptr<const CompareDump> m_compare;
};
