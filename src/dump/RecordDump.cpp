#include "RecordDump.h"

#include "LargePages.h"
#include "LeadByteEncoding.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::size_t kBlockSize = 100;
constexpr std::size_t kHeaderLines = 5;
constexpr std::size_t kLinesPerBlock = 5;
constexpr std::size_t kHyphens = 108;
constexpr std::size_t kOffsetDigits = 6;
constexpr std::size_t kRecordNumberDigits = 7;
constexpr std::size_t kMaxDecimalDigits = 20; // of a 64-bit number
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

constexpr std::string_view kRuler = "------|----*----1----*----2----*----3----*----4----*----5"
                                    "----*----6----*----7----*----8----*----9----*----0";
constexpr std::string_view kDigitIndent = "      |";
constexpr std::string_view kLengthPrefix = "Record Length : ";
constexpr std::string_view kOffsetCharacters = "0123456789|";
constexpr std::string_view kDot = ".";
constexpr std::string_view kBlank = " ";

// Offset field, a block's bytes and the rest of a unit that may overhang its last column.
constexpr std::size_t kMaxOverhang = 3;
constexpr std::size_t kMaxCharacterRow = kMaxDecimalDigits + 1 + kBlockSize + kMaxOverhang;
constexpr std::size_t kMaxBlockLength = kMaxCharacterRow + 3 * kRuler.size();

constexpr auto kPrintable = [] {
    std::array<bool, 256> table{};
    for (std::size_t byte = 0; byte < 256; ++byte)
        table[byte] = (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
    return table;
}();

constexpr std::uint64_t kOnes = 0x0101010101010101;

// Eight digits at a time, each byte of nibbles (0 to 15) becoming its upper-case hex digit:
// a look-up per byte costs three times as much.
std::uint64_t hexDigits(std::uint64_t nibbles)
{
    const std::uint64_t letters = ((nibbles + 6 * kOnes) >> 4) & kOnes; // 1 where above 9
    return nibbles + '0' * kOnes + ('A' - '0' - 10) * letters;
}

char *put(char *out, std::string_view text)
{
    return std::copy(text.begin(), text.end(), out);
}

char *writeDecimal(char *out, std::uint64_t value, std::size_t minDigits)
{
    std::array<char, kMaxDecimalDigits> digits;
    char *end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    const auto count = static_cast<std::size_t>(end - digits.data());
    if (count < minDigits)
        out = std::fill_n(out, minDigits - count, '0');
    return std::copy(digits.data(), end, out);
}

// "%.Nd" of a signed number: the sign comes before the zeros.
char *writeSignedDecimal(char *out, std::int64_t value, std::size_t minDigits)
{
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    return writeDecimal(out, magnitude, minDigits);
}

std::string label(std::string_view prefix, std::uint64_t value, std::size_t minDigits)
{
    std::string text(prefix.size() + kMaxDecimalDigits, '\0');
    char *end = writeDecimal(put(text.data(), prefix), value, minDigits);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

char *writeOffsetField(char *out, std::size_t block)
{
    out = writeDecimal(out, std::uint64_t{block} * kBlockSize, kOffsetDigits);
    *out++ = '|';
    return out;
}

std::string_view offsetCharacter(char c)
{
    const std::size_t index = c == '|' ? kOffsetCharacters.size() - 1 : std::size_t(c - '0');
    return kOffsetCharacters.substr(index, 1);
}

} // namespace

RecordDump::RecordDump(Record record, const ByteClasses &classes, DumpHeader header)
    : RecordDump(std::move(record),
                 std::make_shared<const LeadByteEncoding>("", classes, std::nullopt),
                 std::move(header))
{}

RecordDump::RecordDump(Record record, std::shared_ptr<const Encoding> encoding, DumpHeader header)
    : m_record(std::move(record)), m_encoding(std::move(encoding)),
      m_leadBytes(m_encoding->leadByteClasses()),
      m_classes(m_leadBytes ? *m_leadBytes : ByteClasses()), m_header(std::move(header))
{
    for (std::size_t byte = 0; byte < m_kept.size(); ++byte) {
        const auto value = static_cast<std::uint8_t>(byte);
        m_lead[byte] = m_classes.multibyte() && m_classes.inLeadSet(value);
        m_kept[byte] = kPrintable[byte] || m_lead[byte];
    }
    learnBlockStarts();
}

std::string RecordDump::lengthLabel(std::uint64_t length)
{
    return label(kLengthPrefix, length, kOffsetDigits);
}

std::string RecordDump::countLabel(std::uint64_t count)
{
    return label("/", count, kRecordNumberDigits);
}

std::size_t RecordDump::lineCount() const
{
    return kHeaderLines + kLinesPerBlock * blockCount();
}

RecordDump::LineKind RecordDump::kindOf(std::size_t line) const
{
    if (line >= lineCount())
        throw std::out_of_range("dump line " + std::to_string(line) + " out of range");
    if (line < kHeaderLines)
        return LineKind::Header;
    static constexpr std::array kRows{LineKind::Characters, LineKind::Ruler, LineKind::HighDigits,
                                      LineKind::LowDigits, LineKind::Blank};
    return kRows[(line - kHeaderLines) % kLinesPerBlock];
}

std::string RecordDump::line(std::size_t line) const
{
    std::string text(maxLineLength(line), '\0');
    char *end = writeLine(text.data(), line);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

std::vector<std::string_view> RecordDump::characters(std::size_t line) const
{
    if (kindOf(line) != LineKind::Characters)
        throw std::invalid_argument("dump line " + std::to_string(line) + " is no character row");
    const std::size_t block = blockOfLine(line);
    std::vector<std::string_view> result;
    result.reserve(kMaxCharacterRow);
    std::array<char, kMaxDecimalDigits + 1> field;
    const char *fieldEnd = writeOffsetField(field.data(), block);
    for (const char *c = field.data(); c != fieldEnd; ++c)
        result.push_back(offsetCharacter(*c));
    if (!m_leadBytes) {
        forEachUnitOfBlock(block, [&](const RowUnit &unit) {
            if (unit.continued)
                result.push_back(kBlank);
            else if (shownAsItself(unit))
                result.push_back(bytesOf(unit));
            else
                result.insert(result.end(), unit.length, kDot);
        });
        return result;
    }
    const std::string_view bytes = m_record.bytes;
    const bool overhang = classifyBlock(block, [&](std::size_t i, unsigned trail) {
        if (!trail)
            result.push_back(m_kept[static_cast<std::uint8_t>(bytes[i])] ? bytes.substr(i, 1)
                                                                         : kDot);
        else if (i % kBlockSize == 0)
            result.push_back(kBlank);
        else
            result.back() = bytes.substr(i - 1, 2);
    });
    if (overhang)
        result.back() = bytes.substr(result.back().data() - bytes.data(), 2);
    return result;
}

std::string RecordDump::text(std::string_view lineEnd) const
{
    std::size_t bound = blockCount() * kMaxBlockLength + lineCount() * lineEnd.size();
    for (std::size_t line = 0; line < kHeaderLines; ++line)
        bound += maxLineLength(line);
    std::string text;
    text.reserve(bound);
    LargePages::prefer(text.data(), bound);
    text.resize(bound);
    char *end = writeLines(text.data(), 0, lineCount(), lineEnd);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

void RecordDump::writeText(const std::function<void(std::string_view)> &sink,
                           std::string_view lineEnd) const
{
    std::size_t longestLine = kMaxCharacterRow;
    for (std::size_t line = 0; line < kHeaderLines; ++line)
        longestLine = std::max(longestLine, maxLineLength(line));
    std::string piece(kPieceSize + longestLine + lineEnd.size(), '\0');
    char *const begin = piece.data();
    char *out = begin;
    for (std::size_t line = 0; line < lineCount(); ++line) {
        out = writeLines(out, line, line + 1, lineEnd);
        if (static_cast<std::size_t>(out - begin) >= kPieceSize) {
            sink({begin, static_cast<std::size_t>(out - begin)});
            out = begin;
        }
    }
    if (out != begin)
        sink({begin, static_cast<std::size_t>(out - begin)});
}

std::size_t RecordDump::blockCount() const
{
    return (m_record.bytes.size() + kBlockSize - 1) / kBlockSize;
}

std::size_t RecordDump::blockOfLine(std::size_t line)
{
    return (line - kHeaderLines) / kLinesPerBlock;
}

std::size_t RecordDump::firstLineOfBlock(std::size_t block)
{
    return kHeaderLines + block * kLinesPerBlock;
}

std::string RecordDump::offsetField(std::size_t block)
{
    std::array<char, kMaxDecimalDigits + 1> field;
    return {field.data(), writeOffsetField(field.data(), block)};
}

std::vector<RecordDump::RowUnit> RecordDump::rowUnits(std::size_t line) const
{
    if (kindOf(line) != LineKind::Characters)
        throw std::invalid_argument("dump line " + std::to_string(line) + " is no character row");
    std::vector<RowUnit> units;
    units.reserve(kBlockSize + kMaxOverhang);
    forEachUnitOfBlock(blockOfLine(line), [&](const RowUnit &unit) { units.push_back(unit); });
    return units;
}

RecordDump::RowUnit RecordDump::unitHolding(std::uint64_t offset) const
{
    if (offset >= m_record.bytes.size())
        throw std::out_of_range("offset " + std::to_string(offset) + " out of range");
    const UnitStart start = holderFrom(holderOfBlockStart(offset / kBlockSize), offset);
    ShiftState state = start.state;
    const Unit unit = m_encoding->unitAt(m_record.bytes, start.offset, state);
    return {start.offset, unit.length, false, unit.kind, start.state};
}

std::vector<Mark> RecordDump::marksOfBlock(std::size_t block) const
{
    std::vector<Mark> marks;
    const auto markIfDue = [&](const RowUnit &unit) {
        if (unit.kind == UnitKind::IllFormed)
            marks.push_back({unit.offset, unit.length, Mark::Kind::IllFormed});
        else if (unit.kind == UnitKind::Shift)
            marks.push_back({unit.offset, unit.length, Mark::Kind::Shift});
        else if (!m_encoding->glyph(bytesOf(unit), unit.state).mapped)
            marks.push_back({unit.offset, unit.length, Mark::Kind::Unmapped});
    };
    // A unit begun in the block before has its mark here too, over its whole length.
    if (holderOfBlockStart(block).offset < block * kBlockSize)
        markIfDue(unitHolding(block * kBlockSize));
    forEachUnitOfBlock(block, [&](const RowUnit &unit) {
        if (!unit.continued)
            markIfDue(unit);
    });
    return marks;
}

bool RecordDump::shownAsItself(const RowUnit &unit) const
{
    if (m_leadBytes)
        return unit.length == 2 || m_kept[static_cast<std::uint8_t>(m_record.bytes[unit.offset])];
    return unit.kind == UnitKind::Character &&
           m_encoding->glyph(bytesOf(unit), unit.state).printable();
}

bool RecordDump::startsWithTrail(std::size_t block) const
{
    return !m_trailStarts.empty() && m_trailStarts[block];
}

// A block starts with a trail byte when the run of lead-set bytes before it is odd. Only the
// end of each block is looked at: a run through a whole block (of even size) keeps the parity
// found at the block before, so the cost stays linear however long the runs are.
void RecordDump::learnBlockStarts()
{
    if (!m_classes.multibyte())
        return;
    const std::string_view bytes = m_record.bytes;
    m_trailStarts.resize(blockCount());
    bool oddRun = false;
    for (std::size_t block = 1; block < m_trailStarts.size(); ++block) {
        const std::size_t boundary = block * kBlockSize;
        std::size_t run = 0;
        while (run < kBlockSize && m_lead[static_cast<std::uint8_t>(bytes[boundary - 1 - run])])
            ++run;
        oddRun = run == kBlockSize ? oddRun : run % 2 == 1;
        m_trailStarts[block] = oddRun;
    }
}

std::size_t RecordDump::maxLineLength(std::size_t line) const
{
    switch (line) {
    case 0:
        return 2 + m_header.path.size();
    case 1:
        return 2 + m_header.lengthLabel.size();
    case 2:
        return 3 + 1 + kMaxDecimalDigits + m_header.countLabel.size() + 1;
    case 3:
        return kHyphens;
    case 4:
        return 0;
    default:
        return kindOf(line) == LineKind::Characters ? kMaxCharacterRow : kRuler.size();
    }
}

char *RecordDump::writeLine(char *out, std::size_t line) const
{
    switch (kindOf(line)) {
    case LineKind::Header:
        return writeHeaderLine(out, line);
    case LineKind::Characters:
        return writeCharacterRow(out, blockOfLine(line));
    case LineKind::Ruler:
        return put(out, kRuler);
    case LineKind::HighDigits:
        return writeDigitRow(out, blockOfLine(line), 0);
    case LineKind::LowDigits:
        return writeDigitRow(out, blockOfLine(line), 1);
    case LineKind::Blank:
        break;
    }
    return out;
}

char *RecordDump::writeLines(char *out, std::size_t first, std::size_t last,
                             std::string_view lineEnd) const
{
    for (std::size_t line = first; line < last; ++line)
        out = put(writeLine(out, line), lineEnd);
    return out;
}

char *RecordDump::writeHeaderLine(char *out, std::size_t line) const
{
    switch (line) {
    case 0:
        return put(put(out, ": "), m_header.path);
    case 1:
        return put(put(out, ": "), m_header.lengthLabel);
    case 2:
        out = writeSignedDecimal(put(out, ": ("), m_header.recordNumber, kRecordNumberDigits);
        return put(put(out, m_header.countLabel), ")");
    case 3:
        return std::fill_n(out, kHyphens, '-');
    default:
        return out;
    }
}

char *RecordDump::writeCharacterRow(char *out, std::size_t block) const
{
    if (!m_leadBytes)
        return writeUnitRow(out, block);
    out = writeOffsetField(out, block);
    char *const first = out;
    const char *const data = m_record.bytes.data();
    const bool overhang = classifyBlock(block, [&](std::size_t i, unsigned trail) {
        const auto byte = static_cast<std::uint8_t>(data[i]);
        const unsigned kept = 0u - (trail | m_kept[byte]);
        *out++ = static_cast<char>((byte & kept) | ('.' & ~kept));
    });
    if (startsWithTrail(block))
        *first = ' ';
    if (overhang)
        *out++ = data[(block + 1) * kBlockSize];
    return out;
}

char *RecordDump::writeDigitRow(char *out, std::size_t block, int digit) const
{
    out = put(out, kDigitIndent);
    const std::string_view bytes = m_record.bytes.substr(block * kBlockSize, kBlockSize);
    const int shift = digit == 0 ? 4 : 0;
    std::size_t at = 0;
    for (; at + sizeof(std::uint64_t) <= bytes.size(); at += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        word = hexDigits((word >> shift) & (kOnes * 0x0F));
        std::memcpy(out + at, &word, sizeof word);
    }
    for (; at < bytes.size(); ++at)
        out[at] =
            static_cast<char>(hexDigits((static_cast<std::uint8_t>(bytes[at]) >> shift) & 0x0F));
    return out + bytes.size();
}

// Calls f(i, trail) for each byte i of the block, trail 1 for a trail byte and 0 for a single or
// lead byte; without branches on the byte classes, which in mixed text are as good as random.
// Returns whether the block ends in a lead byte whose trail byte stands in the next block: its
// character then overhangs column 100 by one, and the next block shows a blank in column 1 above
// that trail byte.
template <typename F> bool RecordDump::classifyBlock(std::size_t block, F &&f) const
{
    const char *const data = m_record.bytes.data();
    const std::size_t size = m_record.bytes.size();
    const std::size_t end = std::min(block * kBlockSize + kBlockSize, size);
    unsigned oddLeadRun = startsWithTrail(block);
    for (std::size_t i = block * kBlockSize; i < end; ++i) {
        f(i, oddLeadRun);
        oddLeadRun = m_lead[static_cast<std::uint8_t>(data[i])] & (oddLeadRun ^ 1u);
    }
    return oddLeadRun && end < size;
}

// The rules of the lead-byte pages, for any encoding: a unit begun in the block stands whole,
// printable as its bytes, else as a "." for each byte; a byte of a unit begun in the block
// before stands as a blank.
char *RecordDump::writeUnitRow(char *out, std::size_t block) const
{
    out = writeOffsetField(out, block);
    forEachUnitOfBlock(block, [&](const RowUnit &unit) {
        if (unit.continued)
            *out++ = ' ';
        else if (shownAsItself(unit))
            out = put(out, bytesOf(unit));
        else
            out = std::fill_n(out, unit.length, '.');
    });
    return out;
}

template <typename F> void RecordDump::forEachUnitOfBlock(std::size_t block, F &&f) const
{
    const std::string_view bytes = m_record.bytes;
    const std::size_t begin = block * kBlockSize;
    const std::size_t end = std::min(begin + kBlockSize, bytes.size());
    UnitStart at = holderOfBlockStart(block);
    while (at.offset < end) {
        ShiftState state = at.state;
        const Unit unit = m_encoding->unitAt(bytes, at.offset, state);
        if (at.offset < begin) {
            for (std::size_t byte = begin; byte < at.offset + unit.length; ++byte)
                f(RowUnit{byte, 1, true, unit.kind, at.state});
        } else {
            f(RowUnit{at.offset, unit.length, false, unit.kind, at.state});
        }
        at = {at.offset + unit.length, state};
    }
}

UnitStart RecordDump::holderOfBlockStart(std::size_t block) const
{
    const std::size_t begin = block * kBlockSize;
    if (m_leadBytes)
        return {begin - (startsWithTrail(block) ? 1 : 0), 0};
    if (block == 0)
        return {};
    if (const std::optional<UnitStart> near = m_encoding->startNear(m_record.bytes, begin))
        return holderFrom(*near, begin);
    while (m_holders.size() <= block) {
        const UnitStart previous = m_holders.empty() ? UnitStart{} : m_holders.back();
        m_holders.push_back(holderFrom(previous, m_holders.size() * kBlockSize));
    }
    return m_holders[block];
}

// from: a unit start at or before offset. Units are at most four bytes long, so cutting on
// to seven bytes before offset still leaves a start at or before it.
UnitStart RecordDump::holderFrom(UnitStart from, std::uint64_t offset) const
{
    constexpr std::uint64_t kNear = 7;
    if (offset > from.offset + kNear)
        from = m_encoding->advance(m_record.bytes, from, offset - kNear);
    while (true) {
        ShiftState state = from.state;
        const Unit unit = m_encoding->unitAt(m_record.bytes, from.offset, state);
        if (from.offset + unit.length > offset)
            return from;
        from = {from.offset + unit.length, state};
    }
}

std::string_view RecordDump::bytesOf(const RowUnit &unit) const
{
    return m_record.bytes.substr(unit.offset, unit.continued ? 1 : unit.length);
}
