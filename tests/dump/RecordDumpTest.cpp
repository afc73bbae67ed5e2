#include "RecordDump.h"
#include "Bytes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

RecordDump dumpOf(const std::string &bytes, int codePage, std::int64_t number = 1)
{
    auto file = std::make_shared<const std::string>(bytes);
    DumpHeader header{"/data/f.txt", RecordDump::lengthLabel(bytes.size()), number,
                      RecordDump::countLabel(3)};
    return RecordDump({file, *file}, ByteClasses::forCodePage(codePage), header);
}

std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The dump as the rules describe it, built naively: each byte classified by counting the run
// of lead-set bytes before it, lines formatted with printf and appended one by one.
std::string referenceDump(std::string_view record, const ByteClasses &classes,
                          const DumpHeader &header)
{
    const auto format = [](const char *pattern, auto value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, pattern, value);
        return std::string(buffer);
    };
    const auto inSet = [&](std::size_t i) {
        return classes.inLeadSet(std::uint8_t(record[i]));
    };
    const auto classOf = [&](std::size_t i) {
        std::size_t run = 0;
        while (classes.multibyte() && run < i && inSet(i - 1 - run))
            ++run;
        if (run % 2 == 1)
            return ByteClass::Trail;
        return classes.multibyte() && inSet(i) ? ByteClass::Lead : ByteClass::Single;
    };
    std::string ruler = "------|";
    for (int column = 1; column <= 100; ++column)
        ruler += column % 10 == 0 ? char('0' + column / 10 % 10) : column % 5 == 0 ? '*' : '-';
    std::vector<std::string> lines{": " + header.path, ": " + header.lengthLabel,
                                   format(": (%.7lld", (long long)header.recordNumber) +
                                       header.countLabel + ")",
                                   std::string(108, '-'), ""};
    const std::size_t length = record.size();
    for (std::size_t k = 0; k < (length + 99) / 100; ++k) {
        std::string characters = format("%.6llu|", (unsigned long long)(100 * k));
        std::string high = "      |", low = "      |";
        for (std::size_t j = 1; j <= 100 && 100 * k + j <= length; ++j) {
            const std::size_t i = 100 * k + j - 1;
            const std::string hex = format("%.2X", unsigned(std::uint8_t(record[i])));
            high += hex[0];
            low += hex[1];
            switch (classOf(i)) {
            case ByteClass::Single: {
                const bool shown = (hex >= "20" && hex <= "7E") || (hex >= "A1" && hex <= "DF");
                characters += shown ? record[i] : '.';
                break;
            }
            case ByteClass::Lead:
                characters += record[i];
                if (j == 100 && i + 1 < length)
                    characters += record[i + 1];
                break;
            case ByteClass::Trail:
                characters += j == 1 ? ' ' : record[i];
                break;
            }
        }
        lines.insert(lines.end(), {characters, ruler, high, low, ""});
    }
    std::string text;
    for (const auto &line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

TEST(RecordDump, WorkedExampleUnderCodePage932)
{
    auto file = std::make_shared<const std::string>(bytes({'H', 'i', 9, 0x8A, 0xBF, 0xB6, '!'}));
    const DumpHeader header{"D:\\work\\sample.txt", RecordDump::lengthLabel(7), 2,
                            RecordDump::countLabel(3)};

    const RecordDump dump({file, *file}, ByteClasses::forCodePage(932), header);

    const std::string ruler = "------|----*----1----*----2----*----3----*----4----*----5"
                              "----*----6----*----7----*----8----*----9----*----0";
    EXPECT_EQ(dump.text(), ": D:\\work\\sample.txt\r\n"
                           ": Record Length : 000007\r\n"
                           ": (0000002/0000003)\r\n" +
                               std::string(108, '-') + "\r\n\r\n" + "000000|Hi.\x8A\xBF\xB6!\r\n" +
                               ruler +
                               "\r\n"
                               "      |4608BB2\r\n"
                               "      |899AF61\r\n\r\n");
}

TEST(RecordDump, LabelsPadAndNeverOverflow)
{
    EXPECT_EQ(RecordDump::lengthLabel(7), "Record Length : 000007");
    EXPECT_EQ(RecordDump::lengthLabel(1234567), "Record Length : 1234567");
    EXPECT_EQ(RecordDump::lengthLabel(5'000'000'000), "Record Length : 5000000000");
    EXPECT_EQ(RecordDump::countLabel(12), "/0000012");
    EXPECT_EQ(RecordDump::countLabel(12'345'678), "/12345678");
    EXPECT_EQ(dumpOf("", 932, 12'345'678).line(2), ": (12345678/0000003)");
    EXPECT_EQ(dumpOf("", 932, 5'000'000'000).line(2), ": (5000000000/0000003)");
}

struct RowCase
{
    const char *name;
    std::string record;
    int codePage;
    std::vector<std::string> characterRows;
};

void PrintTo(const RowCase &row, std::ostream *out)
{
    *out << row.name;
}

class RecordDumpRows : public testing::TestWithParam<RowCase>
{};

TEST_P(RecordDumpRows, CharacterRowsKeepColumnsAndDoubleByteCharacters)
{
    const RowCase &row = GetParam();

    const RecordDump dump = dumpOf(row.record, row.codePage);

    std::vector<std::string> rows;
    for (std::size_t line = 0; line < dump.lineCount(); ++line) {
        if (dump.kindOf(line) == RecordDump::LineKind::Characters)
            rows.push_back(dump.line(line));
    }
    EXPECT_EQ(rows, row.characterRows);
}

const std::string k99A(99, 'A');

const RowCase kRowCases[] = {
    {"Empty", "", 932, {}},
    {"Hundred", std::string(100, 'x'), 932, {"000000|" + std::string(100, 'x')}},
    {"HundredAndOne",
     std::string(100, 'x') + "y",
     1252,
     {"000000|" + std::string(100, 'x'), "000100|y"}},
    {"LeadInColumn100",
     k99A + bytes({0x8A, 0xBF}) + "Z",
     932,
     {"000000|" + k99A + bytes({0x8A, 0xBF}), "000100| Z"}},
    {"LeadInColumn100IsLastByte", k99A + "\x8A", 932, {"000000|" + k99A + "\x8A"}},
    {"LoneLeadAtEnd", "ab\x8A", 932, {"000000|ab\x8A"}},
    {"LeadTakesControlByte", "a\x8A\x09\x88\x20", 932, {"000000|a\x8A\x09\x88\x20"}},
    {"TrailInLeadSet",
     bytes({0x88, 0x9F, 0xB6, 0xFD}),
     932,
     {"000000|" + bytes({0x88, 0x9F, 0xB6}) + "."}},
    {"PrintableBoundaries932",
     bytes({0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xA0, 0xA1, 0xDF}),
     932,
     {"000000|. ~..." + bytes({0xA1, 0xDF})}},
    {"PrintableBoundaries1252",
     bytes({0x09, 0x20, 0x7E, 0x7F, 0x8A, 0xA0, 0xA1, 0xDF, 0xE0, 0xFF}),
     1252,
     {"000000|. ~..." + bytes({0xA1, 0xDF}) + ".."}},
    {"WorkedExample1252",
     bytes({'H', 'i', 9, 0x8A, 0xBF, 0xB6, '!'}),
     1252,
     {"000000|Hi.." + bytes({0xBF, 0xB6}) + "!"}},
};

INSTANTIATE_TEST_SUITE_P(Blocks, RecordDumpRows, testing::ValuesIn(kRowCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RecordDump, LeadInColumn100LeavesItsTrailDigitsInTheNextBlock)
{
    const RecordDump dump = dumpOf(k99A + bytes({0x8A, 0xBF}) + "Z", 932);

    EXPECT_EQ(dump.line(12), "      |B5");
    EXPECT_EQ(dump.line(13), "      |FA");
}

TEST(RecordDump, CharactersKeepDoubleByteCharactersWhole)
{
    const RecordDump dump = dumpOf("H\t\x8A\xBF\xB6" + std::string(94, 'A') + "\x88\x9F", 932);

    const auto first = dump.characters(5);
    const auto second = dump.characters(10);

    ASSERT_EQ(first.size(), 7u + 99u);
    EXPECT_EQ(first[6], "|");
    EXPECT_EQ(first[8], ".");
    EXPECT_EQ(first[9], "\x8A\xBF");
    EXPECT_EQ(first[10], "\xB6");
    EXPECT_EQ(first.back(), "\x88\x9F");
    EXPECT_EQ(second, (std::vector<std::string_view>{"0", "0", "0", "1", "0", "0", "|", " "}));
}

TEST(RecordDump, OffsetsFromOneMillionTakeSevenDigits)
{
    const RecordDump dump = dumpOf(std::string(1'000'100, 'x'), 932);

    ASSERT_EQ(dump.lineCount(), 5u + 5u * 10'001u);
    EXPECT_EQ(dump.line(5 + 5 * 9'999), "999900|" + std::string(100, 'x'));
    EXPECT_EQ(dump.line(5 + 5 * 10'000), "1000000|" + std::string(100, 'x'));
    EXPECT_EQ(dump.line(5 + 5 * 10'000 + 2), "      |" + std::string(100, '7'));
    std::string pieces;
    int pieceCount = 0;
    dump.writeText([&](std::string_view piece) { pieces += piece, ++pieceCount; });
    EXPECT_GT(pieceCount, 1);
    EXPECT_EQ(pieces, dump.text());
}

TEST(RecordDump, LinesPastTheEndAndNonCharacterRowsAreRefused)
{
    const RecordDump dump = dumpOf("abc", 932);

    EXPECT_THROW(dump.line(10), std::out_of_range);
    EXPECT_THROW(dump.characters(6), std::invalid_argument);
}

struct RandomCase
{
    const char *name;
    int codePage;
    std::string (*generate)(std::mt19937 &);
};

std::string randomBytes(std::mt19937 &random)
{
    std::string s(random() % 1000, '\0');
    for (auto &c : s)
        c = static_cast<char>(1 + random() % 255);
    return s;
}

// Mostly whole characters, now and then a lone lead byte.
std::string randomShiftJis(std::mt19937 &random)
{
    std::string s;
    for (std::size_t n = random() % 700; s.size() < n;) {
        switch (random() % 4) {
        case 0:
            s += static_cast<char>(0x20 + random() % 0x5F);
            break;
        case 1:
            s += static_cast<char>(0xA1 + random() % 0x3F);
            break;
        default:
            s += static_cast<char>(random() % 2 ? 0x81 + random() % 0x1F : 0xE0 + random() % 0x1D);
            if (random() % 20)
                s += static_cast<char>(0x40 + random() % 0xBD);
        }
    }
    return s;
}

// Runs of lead-set bytes longer than a block.
std::string randomLeadRuns(std::mt19937 &random)
{
    std::string s;
    for (std::size_t n = random() % 1500; s.size() < n;) {
        const std::size_t length = random() % 300;
        s += random() % 3 ? std::string(length, '\x88') : std::string(1 + length % 3, 'A');
    }
    return s;
}

void PrintTo(const RandomCase &row, std::ostream *out)
{
    *out << row.name;
}

class RecordDumpRandom : public testing::TestWithParam<RandomCase>
{};

TEST_P(RecordDumpRandom, AgreesWithReferenceInEveryForm)
{
    std::mt19937 random(20240601);
    const ByteClasses classes = ByteClasses::forCodePage(GetParam().codePage);
    for (int round = 0; round < 60; ++round) {
        const std::string record = GetParam().generate(random);
        auto file = std::make_shared<const std::string>(record);
        const DumpHeader header{"/x", RecordDump::lengthLabel(record.size()), round, "/0000060"};

        const RecordDump dump({file, *file}, classes, header);

        const std::string expected = referenceDump(record, classes, header);
        ASSERT_EQ(dump.text(), expected) << "round " << round;
        std::string pieces;
        dump.writeText([&pieces](std::string_view piece) { pieces += piece; });
        ASSERT_EQ(pieces, expected);
        const auto lines = splitLines(expected);
        ASSERT_EQ(dump.lineCount(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(dump.line(i), lines[i]) << "round " << round << " line " << i;
            if (dump.kindOf(i) != RecordDump::LineKind::Characters)
                continue;
            std::string joined;
            for (std::string_view c : dump.characters(i))
                joined += c;
            ASSERT_EQ(joined, lines[i]);
        }
    }
}

const RandomCase kRecordCases[] = {
    {"Bytes932", 932, randomBytes},       {"Bytes1252", 1252, randomBytes},
    {"ShiftJis932", 932, randomShiftJis}, {"ShiftJis1252", 1252, randomShiftJis},
    {"LeadRuns932", 932, randomLeadRuns},
};

INSTANTIATE_TEST_SUITE_P(Records, RecordDumpRandom, testing::ValuesIn(kRecordCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Lines of the record generators joined by every kind of line end, now and then cut by a NUL.
std::string randomFile(std::mt19937 &random, std::string (*line)(std::mt19937 &))
{
    static const char *const kEnds[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", ""};
    std::string file;
    for (auto lines = random() % 12; lines > 0; --lines)
        file += line(random) + kEnds[random() % 6];
    if (random() % 4 == 0)
        file.insert(random() % (file.size() + 1), 1, '\0');
    return file;
}

// Straight from the splitting rules: up to CR, LF or NUL; then one CR, then one LF skipped.
std::vector<std::string> referenceSplit(const std::string &file)
{
    const std::size_t end = std::min(file.find('\0'), file.size());
    std::vector<std::string> records;
    for (std::size_t at = 0; at < end;) {
        const std::size_t stop = std::min(file.find_first_of("\r\n", at), end);
        records.push_back(file.substr(at, stop - at));
        at = stop + (stop < end && file[stop] == '\r');
        at += at < end && file[at] == '\n';
    }
    return records;
}

class RecordDumpFiles : public testing::TestWithParam<RandomCase>
{};

TEST_P(RecordDumpFiles, AgreeWithReferenceSplitAndDump)
{
    std::mt19937 random(4711);
    const ByteClasses classes = ByteClasses::forCodePage(GetParam().codePage);
    const TempDir folder;
    for (int round = 0; round < 40; ++round) {
        const std::string content = randomFile(random, GetParam().generate);
        const std::string path = folder.write("random.txt", content);
        RecordStore store;

        store.load(path);

        const auto records = referenceSplit(content);
        ASSERT_EQ(store.count(), records.size()) << "round " << round;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const DumpHeader header{path, RecordDump::lengthLabel(records[i].size()),
                                    std::int64_t(i + 1), RecordDump::countLabel(records.size())};
            const RecordDump dump(store.record(std::int64_t(i)), classes, header);
            ASSERT_EQ(dump.text(), referenceDump(records[i], classes, header)) << round;
        }
    }
}

const RandomCase kFileCases[] = {
    {"Bytes932", 932, randomBytes},
    {"Bytes1252", 1252, randomBytes},
    {"ShiftJis932", 932, randomShiftJis},
    {"ShiftJis1252", 1252, randomShiftJis},
};

INSTANTIATE_TEST_SUITE_P(Files, RecordDumpFiles, testing::ValuesIn(kFileCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Drawn from zeros after the cut, without a crash; the store tells the viewer not to show it.
TEST(RecordDump, TheLastBlockOfARecordCutUnderneathRendersFromZeros)
{
    const TempDir folder;
    const std::string path = folder.write("cut.txt", std::string(1 << 16, 'a'));
    RecordStore store;
    store.load(path, Framing::fixedLength(1 << 16));
    const RecordDump dump(store.record(0), ByteClasses::forCodePage(932), {});
    ASSERT_EQ(truncate(path.c_str(), 4096), 0);

    std::size_t line = dump.lineCount() - 1;
    while (dump.kindOf(line) != RecordDump::LineKind::Characters)
        --line;
    const std::string last = dump.line(line);

    EXPECT_EQ(last.find('a'), std::string::npos);
    EXPECT_TRUE(store.changed());
}
