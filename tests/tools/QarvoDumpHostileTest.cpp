// Files that other programs choke on, given to qarvo-dump: each ends in a message naming the
// file and exit status 1, or in a correct dump; never in a hang or a crash.
#include "ChildProcess.h"
#include "HostileScene.h"
#include "RunningShell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

constexpr const char *kShrinkingFile = "/sys/kernel/mm/transparent_hugepage/enabled";
constexpr std::string_view kRuler = "------|----*----1----*----2----*----3----*----4----*----5"
                                    "----*----6----*----7----*----8----*----9----*----0";

ChildProcess::Outcome dump(std::vector<std::string> arguments,
                           const ChildProcess::Options &options = {})
{
    arguments.insert(arguments.begin(), {QARVO_DUMP, "--codepage", "932"});
    return ChildProcess::run(arguments, options);
}

std::string refusal(const std::string &path)
{
    return "qarvo-dump: ファイル " + path + " は開けません\n";
}

std::string changedWhileRead(const std::string &path)
{
    return "qarvo-dump: ファイル " + path + " は読み込み中に変更されました\n";
}

bool isLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The dump's blocks of a record under code page 932, as the rule reads: a lead byte takes the
// byte after it whatever it is; a character cut by the block's end overhangs it by its trail
// byte, which the next block shows as a blank above its digits.
std::string blocksOf(std::string_view record)
{
    std::vector<bool> trail(record.size() + 1);
    for (std::size_t i = 0; i < record.size(); ++i)
        trail[i + 1] = !trail[i] && isLead(static_cast<unsigned char>(record[i]));
    std::string text;
    for (std::size_t begin = 0; begin < record.size(); begin += 100) {
        const std::size_t end = std::min(begin + 100, record.size());
        std::string characters =
            (std::ostringstream() << std::setw(6) << std::setfill('0') << begin << '|').str();
        std::string high = "      |";
        std::string low = "      |";
        for (std::size_t i = begin; i < end; ++i) {
            const auto byte = static_cast<unsigned char>(record[i]);
            const bool shown = trail[i] || isLead(byte) || (byte >= 0x20 && byte <= 0x7E) ||
                               (byte >= 0xA1 && byte <= 0xDF);
            characters += trail[i] && i == begin ? ' ' : shown ? record[i] : '.';
            high += "0123456789ABCDEF"[byte >> 4];
            low += "0123456789ABCDEF"[byte & 0x0F];
        }
        if (end < record.size() && trail[end])
            characters += record[end];
        text +=
            characters + "\r\n" + std::string(kRuler) + "\r\n" + high + "\r\n" + low + "\r\n\r\n";
    }
    return text;
}

class QarvoDumpRefuses : public testing::TestWithParam<RefusedPath>
{};

TEST_P(QarvoDumpRefuses, WithAMessageNamingThePathAndStatusOne)
{
    HostileScene scene;
    const std::string path = (scene.*GetParam().make)();
    ChildProcess::Options asAnyUser;
    asAnyUser.withoutFileAccessOverride = true;

    const ChildProcess::Outcome outcome = dump({path}, asAnyUser);

    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.err, refusal(path));
    EXPECT_EQ(outcome.out, "");
}

INSTANTIATE_TEST_SUITE_P(Paths, QarvoDumpRefuses, testing::ValuesIn(kRefusedPaths),
                         [](const auto &info) { return std::string(info.param.name); });

struct CountedFile
{
    const char *name;
    std::string bytes;
    const char *count;
};

void PrintTo(const CountedFile &row, std::ostream *out)
{
    *out << row.name;
}

class QarvoDumpCounts : public testing::TestWithParam<CountedFile>
{};

TEST_P(QarvoDumpCounts, TheRecordsOfOddFiles)
{
    HostileScene scene;
    const std::string path = scene.dir().write("odd.txt", GetParam().bytes);

    const ChildProcess::Outcome outcome = dump({"--count", path});

    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Files, QarvoDumpCounts,
                         testing::Values(CountedFile{"ZeroBytes", "", "0\n"},
                                         CountedFile{"FirstByteNul", std::string("\0A\r\n", 4),
                                                     "0\n"},
                                         CountedFile{"OnlyLineEnds", "\r\n\n\r\r\n\n\n", "6\n"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(QarvoDumpHostile, AFileWithoutRecordsHasNoRecordOne)
{
    HostileScene scene;
    const std::string path = scene.dir().write("empty.txt", "");

    const ChildProcess::Outcome outcome = dump({path});

    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.err, "qarvo-dump: " + path + " has no records\n");
}

TEST(QarvoDumpHostile, EveryByteValueAtEveryColumnAndALeadByteAtTheEnd)
{
    HostileScene scene;
    const std::string record = everyByteAtEveryColumn() + "\x81";
    const std::string path = scene.dir().write("bytes.txt", record + "\r\n");

    const ChildProcess::Outcome outcome = dump({"--raw", path});

    ASSERT_EQ(outcome.exitStatus, 0) << outcome.err;
    const std::string header = ": " + path + "\r\n: Record Length : 025301\r\n" +
                               ": (0000001/0000001)\r\n" + std::string(108, '-') + "\r\n\r\n";
    EXPECT_TRUE(outcome.out == header + blocksOf(record));
}

TEST(QarvoDumpHostile, ANameOfInvalidUtf8IsShownAsItsBytes)
{
    HostileScene scene;
    const std::string path = scene.dir().write("bad-\xFF\xFE\x80.txt", "A\r\n");

    const ChildProcess::Outcome outcome = dump({"--raw", path});

    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_TRUE(outcome.out.starts_with(": " + path + "\r\n"));
}

TEST(QarvoDumpHostile, ControlBytesInANameReachTheTerminalAsQuestionMarks)
{
    HostileScene scene;
    const std::string name = "esc-\x1B[2J-\x07\n.txt";
    const std::string path = scene.dir().write(name, "A\r\n");
    const std::string shown = scene.dir().path("esc-?[2J-??.txt");

    const ChildProcess::Outcome terminal = dump({path});
    const ChildProcess::Outcome missing = dump({path + "-gone"});
    const ChildProcess::Outcome raw = dump({"--raw", path});

    EXPECT_TRUE(terminal.out.starts_with(": " + shown + "\n")) << terminal.out;
    EXPECT_EQ(missing.err, refusal(shown + "-gone"));
    EXPECT_TRUE(raw.out.starts_with(": " + path + "\r\n"));
}

TEST(QarvoDumpHostile, AFileShorterThanItsSizeGivesTheBytesThatAreThere)
{
    std::ifstream in(kShrinkingFile);
    if (!in)
        GTEST_SKIP() << kShrinkingFile << " is not there";
    std::string firstLine;
    std::getline(in, firstLine);

    const ChildProcess::Outcome outcome = dump({"--raw", kShrinkingFile});

    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_NE(
        outcome.out.find(
            ": Record Length : " +
            (std::ostringstream() << std::setw(6) << std::setfill('0') << firstLine.size()).str()),
        std::string::npos);
}

TEST(QarvoDumpHostile, AFileChangingWhileReadIsCountedOrRefusedButNeverGarbled)
{
    HostileScene scene;
    const std::string path = scene.dir().write("changing.txt", "");
    const RunningShell writer(kGrowAndEmpty, path);

    bool sound = true;
    for (int i = 0; i < 40 && sound; ++i) {
        const ChildProcess::Outcome outcome = dump({"--count", path});
        sound = (outcome.exitStatus == 0 &&
                 (outcome.out == "0\n" || outcome.out == "1\n" || outcome.out == "2\n")) ||
                (outcome.exitStatus == 1 &&
                 (outcome.err == refusal(path) || outcome.err == changedWhileRead(path)));
    }

    EXPECT_TRUE(sound);
}

struct CutCase
{
    const char *name;
    std::vector<std::string> arguments; // before the file that is cut
    std::string file;
    int status;
};

void PrintTo(const CutCase &row, std::ostream *out)
{
    *out << row.name;
}

class QarvoDumpCut : public testing::TestWithParam<CutCase>
{};

std::string repeated(std::string_view piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// The file is cut short once the first output arrives: qarvo-dump is then blocked writing its
// first piece, with most of the file still to read. What it wrote before stands; nothing read
// past the cut is written.
TEST_P(QarvoDumpCut, AFileCutWhileReadEndsTheOutputWithAMessage)
{
    HostileScene scene;
    const std::string path = scene.dir().write("cut.txt", GetParam().file);
    scene.dir().write("other.txt", repeated("b\n", GetParam().file.size() / 2));
    scene.dir().write("layout.cpy", "       01  R.\n           05  T  PIC X(98).\n");
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string &argument : arguments) {
        if (argument == "other.txt" || argument == "layout.cpy")
            argument = scene.dir().path(argument);
    }
    arguments.push_back(path);
    const std::string whole = dump(arguments).out;
    std::string out;
    ChildProcess::Options cutting;
    cutting.onOutput = [&](std::string_view piece) {
        if (out.empty() && truncate(path.c_str(), 4096) != 0)
            throw std::runtime_error("cannot cut " + path);
        out += piece;
    };

    const ChildProcess::Outcome outcome = dump(arguments, cutting);

    EXPECT_EQ(outcome.exitStatus, GetParam().status);
    EXPECT_EQ(outcome.err, changedWhileRead(path));
    EXPECT_FALSE(out.empty());
    EXPECT_LT(out.size(), whole.size());
    EXPECT_EQ(whole.rfind(out, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, QarvoDumpCut,
    testing::Values(
        CutCase{"FindHex", {"--find-hex", "61"}, repeated("a\n", 1 << 20), 2},
        CutCase{"Check", {"--check"}, repeated("\x80\n", 1 << 20), 2},
        CutCase{"CompareFiles", {"--compare-files", "other.txt"}, repeated("a\n", 1 << 20), 2},
        CutCase{"Dump", {}, std::string(2 << 20, 'a'), 1},
        CutCase{"Json", {"--copybook", "layout.cpy", "--json"}, std::string(2 << 20, 'a'), 2}),
    [](const testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

TEST(QarvoDumpHostile, AFileLargerThanTheMemoryAllowedRunsOutOfMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
    HostileScene scene;
    const std::string path = scene.dir().write("huge.bin", "");
    std::filesystem::resize_file(path, std::uintmax_t{4} << 30);
    ChildProcess::Options inAGibibyte;
    inAGibibyte.addressSpaceLimit = std::uint64_t{1} << 30;

    const ChildProcess::Outcome outcome = dump({path}, inAGibibyte);

    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.err, "qarvo-dump: メモリが足りません\n");
}

} // namespace
