#include "DumpRows.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kBlockBytes = 100;
constexpr int kDigitIndent = 7; // "      |", the marker row's too

std::uint64_t endOfBlock(std::size_t block, std::uint64_t length)
{
    return std::clamp<std::uint64_t>(length, block * kBlockBytes, (block + 1) * kBlockBytes);
}

} // namespace

DumpRows::DumpRows(std::shared_ptr<const RecordDump> dump) : m_dump(std::move(dump))
{}

DumpRows::DumpRows(std::shared_ptr<const CompareDump> compare) : m_compare(std::move(compare))
{}

std::size_t DumpRows::lineCount() const
{
    if (m_compare)
        return m_compare->lineCount();
    return m_dump ? m_dump->lineCount() : 0;
}

DumpRows::Row DumpRows::row(std::size_t line) const
{
    return m_compare ? compareRow(line) : dumpRow(line);
}

DumpRows::Row DumpRows::dumpRow(std::size_t line) const
{
    Row row;
    row.dump = m_dump.get();
    row.dumpLine = line;
    const RecordDump::LineKind kind = m_dump->kindOf(line);
    row.characters = kind == RecordDump::LineKind::Characters;
    const bool digits =
        kind == RecordDump::LineKind::HighDigits || kind == RecordDump::LineKind::LowDigits;
    if (!row.characters && !digits)
        return row;
    row.block = RecordDump::blockOfLine(line);
    row.firstByteColumn =
        row.characters ? static_cast<int>(RecordDump::offsetField(row.block).size()) : kDigitIndent;
    row.begin = row.block * kBlockBytes;
    row.end = endOfBlock(row.block, m_dump->record().bytes.size());
    return row;
}

DumpRows::Row DumpRows::compareRow(std::size_t line) const
{
    using Kind = CompareDump::LineKind;
    const CompareDump::Origin origin = m_compare->origin(line);
    Row row;
    row.dump = origin.dump;
    row.dumpLine = origin.dumpLine;
    row.text = origin.dump ? origin.label : m_compare->line(line);
    row.characters = origin.kind == Kind::Characters;
    const bool digits = origin.kind == Kind::HighDigits || origin.kind == Kind::LowDigits;
    if (!row.characters && !digits && origin.kind != Kind::Markers)
        return row;
    row.block = CompareDump::blockOfLine(line);
    row.firstByteColumn =
        row.characters ? static_cast<int>(RecordDump::offsetField(row.block).size()) : kDigitIndent;
    row.begin = row.block * kBlockBytes;
    const std::uint64_t length =
        origin.side ? (origin.dump ? origin.dump->record().bytes.size() : 0) : this->length();
    row.end = std::max(row.begin, endOfBlock(row.block, length));
    row.differences = true;
    return row;
}

std::vector<Mark> DumpRows::marksOf(const Row &row) const
{
    std::vector<Mark> marks;
    if (row.dump && row.firstByteColumn)
        marks = row.dump->marksOfBlock(row.block);
    if (row.differences) {
        const std::vector<Mark> differences =
            m_compare->comparison().differencesIn(row.begin, row.begin + kBlockBytes);
        marks.insert(marks.end(), differences.begin(), differences.end());
    }
    return marks;
}

std::optional<CompareDump::Side> DumpRows::sideHolding(std::uint64_t offset) const
{
    if (offset < m_compare->dumpA().record().bytes.size())
        return CompareDump::Side::A;
    if (offset < m_compare->dumpB().record().bytes.size())
        return CompareDump::Side::B;
    return std::nullopt;
}

std::optional<std::size_t> DumpRows::characterLineOf(std::uint64_t offset) const
{
    const std::size_t block = offset / kBlockBytes;
    if (!m_compare)
        return offset < length() ? std::optional(RecordDump::firstLineOfBlock(block))
                                 : std::nullopt;
    const std::optional<CompareDump::Side> side = sideHolding(offset);
    if (!side)
        return std::nullopt;
    return CompareDump::lineOf(block, CompareDump::LineKind::Characters, *side);
}

std::optional<std::size_t> DumpRows::highDigitLineOf(std::uint64_t offset) const
{
    const std::optional<CompareDump::Side> side = m_compare ? sideHolding(offset) : std::nullopt;
    if (!side)
        return std::nullopt;
    return CompareDump::lineOf(offset / kBlockBytes, CompareDump::LineKind::HighDigits, *side);
}

std::uint64_t DumpRows::length() const
{
    if (m_compare)
        return m_compare->comparison().length();
    return m_dump ? m_dump->record().bytes.size() : 0;
}
