#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> splitLines(const std::string &text, char end)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, stop; start < text.size(); start = stop + 1) {
        stop = text.find(end, start);
        lines.push_back(text.substr(start, stop - start));
    }
    return lines;
}

const std::string kWorkedExample = "Hi\t\x8A\xBF\xB6!";
const std::string kWorkedRow = "000000|Hi.\x8A\xBF\xB6!";
const std::string kRuler = "------|----*----1----*----2----*----3----*----4----*----5"
                           "----*----6----*----7----*----8----*----9----*----0";

} // namespace

// Runs the real program in a folder of its own, with the sample file of three records.
class QarvoDump : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "qarvo-dump-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        write("sample.txt", "first\r\n" + kWorkedExample + "\r\nthird\r\n");
        write("empty.txt", "");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void write(const std::string &name, const std::string &bytes)
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }

    // The locale variables of the test's own environment are replaced by locale.
    Outcome run(std::vector<std::string> arguments, const std::string &locale = "LC_ALL=C")
    {
        arguments.insert(arguments.begin(), QARVO_DUMP);
        std::vector<char *> argv;
        for (auto &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<std::string> variables{locale};
        for (char **variable = environ; *variable; ++variable) {
            const std::string_view name(*variable, std::strcspn(*variable, "="));
            if (name != "LC_ALL" && name != "LC_CTYPE" && name != "LANG")
                variables.emplace_back(*variable);
        }
        std::vector<char *> envp;
        for (auto &variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, m_dir.c_str());
        const std::string out = (m_dir / "stdout").string(), err = (m_dir / "stderr").string();
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
        pid_t pid = 0;
        Outcome outcome;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        outcome.out = readAll(out);
        outcome.err = readAll(err);
        fs::remove(out);
        fs::remove(err);
        return outcome;
    }

    std::string path(const std::string &name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

TEST_F(QarvoDump, RawPrintsTheWorkedExampleExactlyWithTheAbsolutePath)
{
    const Outcome outcome = run({"--raw", "--codepage", "932", "./sub/../sample.txt", "2"});

    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, ": " + path("sample.txt") +
                               "\r\n"
                               ": Record Length : 000007\r\n"
                               ": (0000002/0000003)\r\n" +
                               std::string(108, '-') + "\r\n\r\n" + kWorkedRow + "\r\n" + kRuler +
                               "\r\n"
                               "      |4608BB2\r\n"
                               "      |899AF61\r\n\r\n");
}

TEST_F(QarvoDump, ShowsARelativePathInOtherCaseWithItsStoredNamesAsTheViewerDoes)
{
    std::string folder = m_dir.filename().string();
    std::ranges::transform(folder, folder.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });

    const Outcome outcome = run({"--raw", "../" + folder + "/SAMPLE.TXT"});

    ASSERT_EQ(outcome.status, 0);
    EXPECT_EQ(splitLines(outcome.out, '\n').front(), ": " + path("sample.txt") + "\r");
}

TEST_F(QarvoDump, TerminalOutputDecodesAndKeepsOneColumnPerByte)
{
    // A kanji, a half-width katakana, a narrow double-byte character, a lone lead byte.
    write("mixed.txt", kWorkedExample + "\x81\x98Z\x8A\n");

    const Outcome outcome = run({"--codepage", "932", "mixed.txt"});

    const auto lines = splitLines(outcome.out, '\n');
    EXPECT_EQ(outcome.status, 0);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], ": " + path("mixed.txt"));
    EXPECT_EQ(lines[5], "000000|Hi.漢ｶ!§ Z.");
    EXPECT_EQ(lines[7], "      |4608BB28958");
    EXPECT_EQ(outcome.out.find('\r'), std::string::npos);
}

TEST_F(QarvoDump, CodePageComesFromTheLocaleWithoutTheOption)
{
    const Outcome japanese = run({"--raw", "sample.txt", "2"}, "LC_ALL=ja_JP.UTF-8");
    const Outcome english = run({"--raw", "sample.txt", "2"}, "LANG=en_US.UTF-8");

    EXPECT_EQ(splitLines(japanese.out, '\n')[5], kWorkedRow + "\r");
    EXPECT_EQ(splitLines(english.out, '\n')[5], "000000|Hi..\xBF\xB6!\r");
}

TEST_F(QarvoDump, CountHelpAndVersion)
{
    EXPECT_EQ(run({"--count", "sample.txt"}).out, "3\n");
    EXPECT_EQ(run({"--count", "empty.txt"}).out, "0\n");
    EXPECT_EQ(run({"--help"}).out.rfind("Usage: qarvo-dump [--codepage N | --encoding NAME]", 0),
              0u);
    EXPECT_EQ(run({"--version"}).out, "qarvo-dump 0.1.1.0\n");
}

// "\\" after ソ (83 5C) is its trail byte, the one after "A" is not.
TEST_F(QarvoDump, FindPrintsEachHitOnCharacterBoundariesAsGrepExits)
{
    write("sjis.txt", "x\x83\x5C\\\r\n\\A\\\r\n\x83\x5C\r\n");

    const Outcome text = run({"--codepage", "932", "--find", "\\", "sjis.txt"});
    const Outcome locale = run({"--find", "\\", "--count", "sjis.txt"}, "LC_ALL=ja_JP.UTF-8");
    const Outcome hex = run({"--find-hex", "5c", "--count", "sjis.txt"});
    const Outcome kana = run({"--find", "\xE3\x82\xBD", "--codepage=932", "sjis.txt"});
    const Outcome none = run({"--find", "zz", "sjis.txt"});

    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "1 3\n2 0\n2 2\n");
    EXPECT_EQ(locale.out, "3\n");
    EXPECT_EQ(hex.out, "5\n");
    EXPECT_EQ(kana.out, "1 1\n3 0\n");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
}

// B0 A4 A4 A2 A4 A4: the first A4 A4 straddles two characters, the last is い.
TEST_F(QarvoDump, FindWritesTheTextInTheEncodingNamed)
{
    write("euc.txt", "\xB0\xA4\xA4\xA2\xA4\xA4\n");

    const Outcome named = run({"--encoding", "euc-jp", "--find", "\xE3\x81\x84", "euc.txt"});
    const Outcome unknown = run({"--encoding", "nope", "--find", "a", "euc.txt"});

    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.out, "1 4\n");
    EXPECT_EQ(unknown.status, 2);
}

TEST_F(QarvoDump, FindCountsZeroAndExitsOne)
{
    const Outcome outcome = run({"--find", "nothing", "--count", "sample.txt"});

    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "0\n");
}

// 日本語の文章です。漢字とひらがな。 in Shift_JIS: enough for the bytes to tell it.
const std::string kJapanese = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD\x82\xC5\x82\xB7"
                              "\x81\x42\x8A\xBF\x8E\x9A\x82\xC6\x82\xD0\x82\xE7\x82\xAA\x82\xC8"
                              "\x81\x42";

TEST_F(QarvoDump, AutoDrawsTheCharactersInTheEncodingTheBytesTell)
{
    write("sjis.txt", kJapanese + "\r\n" + kJapanese + "\r\n" + kJapanese + "\r\n");

    for (const std::string locale : {"LC_ALL=C", "LC_ALL=C.UTF-8", "LANG=en_US.UTF-8"}) {
        const Outcome outcome = run({"--encoding", "auto", "sjis.txt"}, locale);

        EXPECT_EQ(outcome.status, 0) << locale;
        EXPECT_EQ(splitLines(outcome.out, '\n')[5], "000000|日本語の文章です。漢字とひらがな。")
            << locale;
    }
}

TEST_F(QarvoDump, ListsTheEncodingsAndDumpsInTheOneNamed)
{
    write("utf8.txt", "\xC3\xA9\xE6\xBC\xA2\n");

    const Outcome list = run({"--list-encodings"});
    const Outcome dumped = run({"--encoding", "utf-8", "utf8.txt"});

    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("\nUTF-8\tUnicode\tutf8\n"), std::string::npos);
    EXPECT_EQ(list.out.rfind("Shift_JIS\tJapanese\tsjis cp932 ", 0), 0u);
    EXPECT_EQ(dumped.status, 0);
    const auto lines = splitLines(dumped.out, '\n');
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[5], "000000|é 漢 ");
    EXPECT_EQ(lines[7], "      |CAEBA");
    EXPECT_EQ(lines[8], "      |396C2");
}

// 81 20: a lead byte whose next byte is no trail byte; 85 40: no character of the page; a lead
// byte that ends its record.
TEST_F(QarvoDump, CheckListsEachMarkedUnitAndExitsOneForAny)
{
    write("bad.txt", "ab\x81\x20"
                     "c\r\nok\r\nx\x85\x40y\x8A");
    write("shifts.txt", "\x0E\x45\x41\x0F\xC1");

    const Outcome bad = run({"--codepage", "932", "--check", "bad.txt"});
    const Outcome clean = run({"--codepage", "932", "--check", "sample.txt"});
    const Outcome shifts = run({"--encoding", "ibm-939", "--check=all", "shifts.txt"});
    const Outcome noShifts = run({"--encoding", "ibm-939", "--check", "shifts.txt"});

    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "1 2 8120 ill-formed\n3 1 8540 unmapped\n3 4 8A ill-formed\n");
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "");
    EXPECT_EQ(shifts.status, 1);
    EXPECT_EQ(shifts.out, "1 0 0E shift\n1 3 0F shift\n");
    EXPECT_EQ(noShifts.status, 0);
    EXPECT_EQ(noShifts.out, "");
}

struct ErrorCase
{
    const char *name;
    std::vector<std::string> arguments;
    int status;
    std::string message;
};

void PrintTo(const ErrorCase &row, std::ostream *out)
{
    *out << row.name;
}

class QarvoDumpErrors : public QarvoDump, public testing::WithParamInterface<ErrorCase>
{};

TEST_P(QarvoDumpErrors, ExitWithMessageAndNoOutput)
{
    const ErrorCase &row = GetParam();

    const Outcome outcome = run(row.arguments);

    EXPECT_EQ(outcome.status, row.status);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("qarvo-dump: ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(row.message), std::string::npos) << outcome.err;
}

const ErrorCase kErrorCases[] = {
    {"Missing", {"nope.txt"}, 1, "/nope.txt は開けません"},
    {"Directory", {"."}, 1, "は開けません"},
    {"RecordPastEnd", {"sample.txt", "4"}, 1, "record 4 is out of range 1 to 3"},
    {"RecordZero", {"sample.txt", "0"}, 1, "record 0 is out of range 1 to 3"},
    {"NoRecords", {"empty.txt"}, 1, "empty.txt has no records"},
    {"UnknownOption", {"--hex", "sample.txt"}, 2, "unknown option '--hex'"},
    {"UnknownCodePage", {"--codepage", "12345", "sample.txt"}, 2, "12345"},
    {"UnknownEncoding",
     {"--encoding", "nosuch", "sample.txt"},
     2,
     "unknown encoding 'nosuch'; see qarvo-dump --list-encodings"},
    {"NoFile", {}, 2, "missing FILE"},
    {"FindUnwritable",
     {"--codepage", "932", "--find", "\xF0\x9F\x98\x80", "sample.txt"},
     2,
     "(U+1F600) cannot be written in Shift_JIS"},
    {"FindBadHex", {"--find-hex", "8A B", "sample.txt"}, 2, "has no partner"},
    {"FindMissingFile", {"--find", "a", "nope.txt"}, 2, "は開けません"},
    {"CheckMissingFile", {"--check", "nope.txt"}, 2, "は開けません"},
};

INSTANTIATE_TEST_SUITE_P(Failures, QarvoDumpErrors, testing::ValuesIn(kErrorCases),
                         [](const auto &info) { return std::string(info.param.name); });

// 漢 (8A BF) against 8A C0: both characters whole, one column marked; exit 1 as cmp's.
TEST_F(QarvoDump, CompareShowsBothRecordsAndMarksTheDifferingColumn)
{
    write("b.txt", "first\r\nHi\t\x8A\xC0\xB6!\r\n");

    const Outcome differ = run({"--codepage", "932", "--compare", "b.txt", "sample.txt", "2"});
    const Outcome same = run({"--compare", "b.txt:1", "sample.txt"});
    const Outcome otherRecord = run({"--compare", "sample.txt:3", "sample.txt", "1"});

    EXPECT_EQ(differ.status, 1) << differ.err;
    const std::vector<std::string> lines = splitLines(differ.out, '\n');
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0],
              ": A : " + path("sample.txt") + " (0000002/0000003) Record Length : 000007");
    EXPECT_EQ(lines[1], ": B : " + path("b.txt") + " (0000002/0000002) Record Length : 000007");
    EXPECT_EQ(lines[2], ": 1 byte differs, first at offset 4");
    EXPECT_EQ(lines[5], "000000|Hi.漢ｶ!");
    EXPECT_EQ(lines[6], kRuler);
    EXPECT_EQ(lines[7], "A     |4608BB2");
    EXPECT_EQ(lines[9].substr(0, 10), "B     |Hi.");
    EXPECT_EQ(lines[11], "B     |899A061");
    EXPECT_EQ(lines[12], "      |    *");
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(splitLines(same.out, '\n')[2], ": identical");
    EXPECT_EQ(otherRecord.status, 1);
    EXPECT_EQ(splitLines(otherRecord.out, '\n')[2], ": 5 bytes differ, first at offset 0");
}

TEST_F(QarvoDump, CompareFilesListsDifferingRecordsAndTheOnesOnOneSide)
{
    write("a.txt", "same\nabcd\nsame\nx\nonly A\n");
    write("b.txt", "same\nabXd\nsame\nxyz\n");
    write("copy.txt", "same\nabcd\nsame\nx\nonly A\n");

    const Outcome differ = run({"--compare-files", "b.txt", "a.txt"});
    const Outcome reversed = run({"--compare-files", "a.txt", "b.txt"});
    const Outcome same = run({"--compare-files", "copy.txt", "a.txt"});
    const Outcome fixed = run({"--record-length", "2", "--compare-files", "b.txt", "a.txt"});

    EXPECT_EQ(differ.status, 1);
    EXPECT_EQ(differ.out, "2 2 1\n4 1 2\n5 only-in-A\n");
    EXPECT_EQ(reversed.out, "2 2 1\n4 1 2\n5 only-in-B\n");
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(fixed.out.substr(0, 6), "4 1 1\n");
}

TEST_F(QarvoDump, CompareFailuresExitTwoWithAMessage)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--compare", "nope.txt", "sample.txt"}, "/nope.txt は開けません"},
        {{"--compare", "sample.txt:9", "sample.txt"}, "record 9 is out of range 1 to 3"},
        {{"--compare-files", "empty.txt", "nope.txt"}, "は開けません"},
        {{"--rdw", "--compare-files", "sample.txt", "sample.txt"}, "RDW at offset 0"},
        {{"--compare", "sample.txt", "--count", "sample.txt"}, "--compare"},
        {{"--compare-files", "sample.txt", "sample.txt", "2"}, "takes no RECORD"},
    };
    for (const auto &[arguments, message] : cases) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments[0];
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
    }
}
