// Splits a file into records and dumps each of them, checking the split against a literal
// reading of the line-end rule and every dump line against what its bytes must give.
#include "ByteClasses.h"
#include "RecordDump.h"
#include "RecordIndex.h"
#include "RecordStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kCodePages[] = {932, 936, 949, 950, 1252};
constexpr std::size_t kBlock = 100;
constexpr std::string_view kRuler = "------|----*----1----*----2----*----3----*----4----*----5"
                                    "----*----6----*----7----*----8----*----9----*----0";

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The rule as the user reads it: records end at CR, LF or CR LF, the first NUL ends the file.
std::vector<std::string_view> literalSplit(std::string_view file)
{
    std::vector<std::string_view> records;
    std::size_t at = 0;
    while (at < file.size() && file[at] != '\0') {
        const std::size_t begin = at;
        while (at < file.size() && file[at] != '\r' && file[at] != '\n' && file[at] != '\0')
            ++at;
        records.push_back(file.substr(begin, at - begin));
        if (at < file.size() && file[at] == '\r')
            ++at;
        if (at < file.size() && file[at] == '\n')
            ++at;
    }
    return records;
}

std::string decimal(std::uint64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*llu", digits, static_cast<unsigned long long>(value));
    return text;
}

char hexDigit(unsigned nibble)
{
    return "0123456789ABCDEF"[nibble & 0x0F];
}

bool printable(unsigned char byte)
{
    return (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
}

// Per byte: whether it is the trail byte of a double-byte character, decided from the start.
std::vector<bool> trailBytes(std::string_view record, const ByteClasses &classes)
{
    std::vector<bool> trail(record.size());
    bool afterLead = false;
    for (std::size_t i = 0; i < record.size(); ++i) {
        trail[i] = afterLead;
        const auto byte = static_cast<unsigned char>(record[i]);
        afterLead = !afterLead && classes.multibyte() && classes.inLeadSet(byte);
    }
    return trail;
}

std::string expectedCharacterRow(std::string_view record, const std::vector<bool> &trail,
                                 const ByteClasses &classes, std::size_t block)
{
    std::string row = decimal(block * kBlock, 6) + "|";
    const std::size_t begin = block * kBlock;
    const std::size_t end = std::min(begin + kBlock, record.size());
    for (std::size_t i = begin; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(record[i]);
        const bool lead = classes.multibyte() && classes.inLeadSet(byte);
        if (trail[i] && i == begin)
            row += ' ';
        else
            row += trail[i] || lead || printable(byte) ? record[i] : '.';
    }
    if (end < record.size() && trail[end])
        row += record[end];
    return row;
}

std::string expectedDigitRow(std::string_view record, std::size_t block, int shift)
{
    std::string row = "      |";
    for (const char byte : record.substr(block * kBlock, kBlock))
        row += hexDigit(static_cast<unsigned char>(byte) >> shift);
    return row;
}

void checkClasses(std::string_view record, const std::vector<bool> &trail,
                  const ByteClasses &classes)
{
    // classOf costs the run before the byte: keep the whole walk small.
    if (record.size() > 1024)
        return;
    for (std::size_t i = 0; i < record.size(); ++i)
        check((classes.classOf(record, i) == ByteClass::Trail) == trail[i], "byte class");
}

void checkPieces(const RecordDump &dump)
{
    std::string pieces;
    dump.writeText([&pieces](std::string_view piece) { pieces += piece; }, "\n");
    check(pieces == dump.text("\n"), "pieces and one pass");
}

// Returns the dump for a look at its pieces.
RecordDump checkDump(const Record &record, std::size_t number, std::size_t count,
                     const ByteClasses &classes)
{
    const std::string_view bytes = record.bytes;
    const DumpHeader header{"/fuzz/file.txt", RecordDump::lengthLabel(bytes.size()),
                            static_cast<std::int64_t>(number), RecordDump::countLabel(count)};
    const RecordDump dump(record, classes, header);
    const std::size_t blocks = (bytes.size() + kBlock - 1) / kBlock;
    check(dump.lineCount() == 5 + 5 * blocks, "line count");
    check(dump.line(0) == ": /fuzz/file.txt", "path line");
    check(dump.line(1) == ": Record Length : " + decimal(bytes.size(), 6), "length line");
    check(dump.line(2) == ": (" + decimal(number, 7) + "/" + decimal(count, 7) + ")",
          "number line");
    check(dump.line(3) == std::string(108, '-') && dump.line(4).empty(), "rule and gap");

    const std::vector<bool> trail = trailBytes(bytes, classes);
    checkClasses(bytes, trail, classes);
    std::string joined;
    for (std::size_t line = 0; line < dump.lineCount(); ++line)
        joined += dump.line(line) + "\r\n";
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::size_t first = 5 + 5 * block;
        const std::string row = dump.line(first);
        check(row == expectedCharacterRow(bytes, trail, classes, block), "character row");
        std::string characters;
        for (const std::string_view character : dump.characters(first))
            characters += character;
        check(characters == row, "characters of the row");
        check(dump.line(first + 1) == kRuler, "ruler");
        check(dump.line(first + 2) == expectedDigitRow(bytes, block, 4), "high digits");
        check(dump.line(first + 3) == expectedDigitRow(bytes, block, 0), "low digits");
        check(dump.line(first + 4).empty(), "blank row");
    }
    check(dump.text() == joined, "one pass and line by line");
    return dump;
}

} // namespace

// The first byte picks the code page and whether to write the dump in pieces; the rest is the
// file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const ByteClasses classes = ByteClasses::forCodePage(kCodePages[data[0] % 5]);
    const auto file =
        std::make_shared<const std::string>(reinterpret_cast<const char *>(data + 1), size - 1);

    const RecordIndex index(*file, std::numeric_limits<std::uint64_t>::max());
    const std::vector<std::string_view> expected = literalSplit(*file);
    check(index.count() == expected.size(), "record count");
    std::optional<RecordDump> last;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string_view record = index.record(*file, i);
        check(record == expected[i], "record bytes");
        last.emplace(checkDump(Record{file, record}, i + 1, expected.size(), classes));
    }
    // The pieces take a mebibyte of room each time: only inputs with the high bit ask for them.
    if (last && data[0] >= 0x80)
        checkPieces(*last);
    return 0;
}
