#include "CompareDump.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr std::size_t kBlockSize = 100;
constexpr std::size_t kHeaderLines = 5;

struct Row
{
    CompareDump::LineKind kind;
    std::optional<CompareDump::Side> side;
    std::size_t dumpRow; // the line of the side's block that it shows
};

using Kind = CompareDump::LineKind;
using Side = CompareDump::Side;
constexpr std::array<Row, 9> kRows{{
    {Kind::Characters, Side::A, 0},
    {Kind::Ruler, std::nullopt, 1},
    {Kind::HighDigits, Side::A, 2},
    {Kind::LowDigits, Side::A, 3},
    {Kind::Characters, Side::B, 0},
    {Kind::HighDigits, Side::B, 2},
    {Kind::LowDigits, Side::B, 3},
    {Kind::Markers, std::nullopt, 0},
    {Kind::Blank, std::nullopt, 0},
}};

char letterOf(Side side)
{
    return side == Side::A ? 'A' : 'B';
}

// The side's letter, padded to the width of the field it stands in for.
std::string labelOf(Side side, std::size_t width)
{
    std::string label(width, ' ');
    label.front() = letterOf(side);
    label.back() = '|';
    return label;
}

std::string recordNumber(std::uint64_t number)
{
    std::array<char, 24> text;
    const int length =
        std::snprintf(text.data(), text.size(), "%.7llu", static_cast<unsigned long long>(number));
    return {text.data(), static_cast<std::size_t>(length)};
}

std::string sourceLine(Side side, const CompareSource &source, std::uint64_t length)
{
    return std::string(": ") + letterOf(side) + " : " + source.path + " (" +
           recordNumber(source.recordNumber) + RecordDump::countLabel(source.count) + ") " +
           RecordDump::lengthLabel(length);
}

} // namespace

CompareDump::CompareDump(std::shared_ptr<const RecordDump> a, std::shared_ptr<const RecordDump> b,
                         CompareSource sourceA, CompareSource sourceB)
    : m_a(std::move(a)), m_b(std::move(b)), m_sourceA(std::move(sourceA)),
      m_sourceB(std::move(sourceB)), m_comparison(m_a->record().bytes, m_b->record().bytes)
{}

std::size_t CompareDump::blockCount() const
{
    return std::max(m_a->blockCount(), m_b->blockCount());
}

std::size_t CompareDump::lineCount() const
{
    return kHeaderLines + kRows.size() * blockCount();
}

std::size_t CompareDump::blockOfLine(std::size_t line)
{
    return (line - kHeaderLines) / kRows.size();
}

std::size_t CompareDump::firstLineOfBlock(std::size_t block)
{
    return kHeaderLines + block * kRows.size();
}

std::size_t CompareDump::lineOf(std::size_t block, LineKind kind, std::optional<Side> side)
{
    const auto row = std::find_if(kRows.begin(), kRows.end(), [&](const Row &candidate) {
        return candidate.kind == kind && candidate.side == side;
    });
    if (row == kRows.end())
        throw std::invalid_argument("no such row in a compared block");
    return firstLineOfBlock(block) + static_cast<std::size_t>(row - kRows.begin());
}

CompareDump::Origin CompareDump::origin(std::size_t line) const
{
    if (line >= lineCount())
        throw std::out_of_range("compare line " + std::to_string(line) + " out of range");
    if (line < kHeaderLines)
        return {};
    const std::size_t block = blockOfLine(line);
    const Row &row = kRows[(line - kHeaderLines) % kRows.size()];
    Origin origin;
    origin.kind = row.kind;
    origin.side = row.side;
    if (row.kind == Kind::Markers || row.kind == Kind::Blank)
        return origin;
    const RecordDump &dump =
        row.side ? dumpOf(*row.side) : (block < m_a->blockCount() ? *m_a : *m_b);
    if (block < dump.blockCount()) {
        origin.dump = &dump;
        origin.dumpLine = RecordDump::firstLineOfBlock(block) + row.dumpRow;
    }
    const std::string offsetField = RecordDump::offsetField(block);
    if (row.kind == Kind::Characters && row.side == Side::B)
        origin.label = labelOf(Side::B, offsetField.size());
    else if (row.side && row.kind != Kind::Characters)
        origin.label = labelOf(*row.side, RecordDump::offsetField(0).size());
    else if (!origin.dump)
        origin.label = offsetField;
    return origin;
}

std::string CompareDump::line(std::size_t line) const
{
    const Origin shown = origin(line);
    switch (shown.kind) {
    case Kind::Header:
        return headerLine(line);
    case Kind::Markers:
        return markerRow(blockOfLine(line));
    case Kind::Blank:
        return {};
    default:
        break;
    }
    if (!shown.dump)
        return shown.label;
    std::string text = shown.dump->line(shown.dumpLine);
    text.replace(0, shown.label.size(), shown.label);
    return text;
}

std::optional<std::pair<std::uint64_t, std::uint64_t>>
CompareDump::columnsOf(std::size_t line) const
{
    const Kind kind = origin(line).kind;
    if (kind == Kind::Header || kind == Kind::Blank)
        return std::nullopt;
    const std::uint64_t from = std::uint64_t{blockOfLine(line)} * kBlockSize;
    return std::pair{from, std::min<std::uint64_t>(from + kBlockSize, m_comparison.length())};
}

std::string CompareDump::headerLine(std::size_t line) const
{
    switch (line) {
    case 0:
        return sourceLine(Side::A, m_sourceA, m_a->record().bytes.size());
    case 1:
        return sourceLine(Side::B, m_sourceB, m_b->record().bytes.size());
    case 2:
        return ": " + m_comparison.summary();
    default:
        return m_a->line(line); // the rule and the empty line
    }
}

std::string CompareDump::markerRow(std::size_t block) const
{
    const std::uint64_t from = std::uint64_t{block} * kBlockSize;
    std::string row = RecordDump::offsetField(0);
    std::fill(row.begin(), row.end() - 1, ' ');
    const std::size_t indent = row.size();
    for (const Mark &mark : m_comparison.differencesIn(from, from + kBlockSize)) {
        row.resize(indent + (mark.offset - from), ' ');
        row.append(mark.length, '*');
    }
    return row;
}
