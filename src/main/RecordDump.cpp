#include "RecordDump.h"

#include "LargePages.h"

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

// Offset field, a block's bytes and the trail byte that may overhang its last column.
constexpr std::size_t kMaxCharacterRow = kMaxDecimalDigits + 1 + kBlockSize + 1;
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

std::size_t blockOf(std::size_t line)
{
    return (line - kHeaderLines) / kLinesPerBlock;
}

std::string_view offsetCharacter(char c)
{
    const std::size_t index = c == '|' ? kOffsetCharacters.size() - 1 : std::size_t(c - '0');
    return kOffsetCharacters.substr(index, 1);
}

} // namespace

RecordDump::RecordDump(Record record, const ByteClasses &classes, DumpHeader header)
    : m_record(std::move(record)), m_classes(classes), m_header(std::move(header))
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
    const std::size_t block = blockOf(line);
    std::vector<std::string_view> result;
    result.reserve(kMaxCharacterRow);
    std::array<char, kMaxDecimalDigits + 1> field;
    const char *fieldEnd = writeOffsetField(field.data(), block);
    for (const char *c = field.data(); c != fieldEnd; ++c)
        result.push_back(offsetCharacter(*c));
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
        return writeCharacterRow(out, blockOf(line));
    case LineKind::Ruler:
        return put(out, kRuler);
    case LineKind::HighDigits:
        return writeDigitRow(out, blockOf(line), 0);
    case LineKind::LowDigits:
        return writeDigitRow(out, blockOf(line), 1);
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
