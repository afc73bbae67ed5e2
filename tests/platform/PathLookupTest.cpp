#include "PathLookup.h"

#include "CurrentFolder.h"
#include "RowName.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct AbsoluteRow
{
    const char *name;
    std::string typed;
    // "~" stands for the temp folder; the current folder is its "work".
    const char *expected;

    friend void PrintTo(const AbsoluteRow &row, std::ostream *out) { *out << row.name; }
};

class PathLookupAbsolute : public testing::TestWithParam<AbsoluteRow>
{};

TEST_P(PathLookupAbsolute, ResolvesByTheLettersAlone)
{
    const TempDir dir;
    fs::create_directory(dir.path("work"));
    fs::create_directory_symlink("/usr/share", dir.path("work/link"));
    const CurrentFolder inWork(dir.path("work"));
    std::string expected = GetParam().expected;
    if (expected.starts_with('~'))
        expected.replace(0, 1, dir.path());

    const std::string absolute = PathLookup::absolutePath(GetParam().typed);

    EXPECT_EQ(absolute, expected);
}

const AbsoluteRow kAbsoluteRows[] = {
    {"Absolute", "/a/b", "/a/b"},
    {"DotsResolved", "/a/./b/../c", "/a/c"},
    {"DotDotAtTheRootStaysThere", "/../../a", "/a"},
    {"RunsOfSlashesBecomeOne", "//a///b", "/a/b"},
    {"TrailingSlashKept", "/a/b/", "/a/b/"},
    {"TrailingDotDot", "/a/b/..", "/a"},
    {"RootDotDot", "/..", "/"},
    {"Relative", "x/y", "~/work/x/y"},
    {"RelativeDotDot", "../x", "~/x"},
    {"CurrentFolderItself", ".", "~/work"},
    {"CurrentFolderWithSlash", "./", "~/work/"},
    {"LinkNotFollowed", "link/../x", "~/work/x"},
    {"NonUtf8Bytes", "\x95\x5C/\x83\x41", "~/work/\x95\x5C/\x83\x41"},
    {"Empty", "", ""},
    {"NulByte", std::string("/a\0b", 4), ""},
};

INSTANTIATE_TEST_SUITE_P(Paths, PathLookupAbsolute, testing::ValuesIn(kAbsoluteRows),
                         rowName<AbsoluteRow>);

TEST(PathLookup, AbsolutePathIsEmptyWhenTheCurrentFolderIsGone)
{
    const TempDir dir;
    fs::create_directory(dir.path("gone"));
    const CurrentFolder inGone(dir.path("gone"));
    fs::remove(dir.path("gone"));

    EXPECT_EQ(PathLookup::absolutePath("x"), "");
    EXPECT_EQ(PathLookup::absolutePath("/x/../y"), "/y");
}

struct EntryRow
{
    const char *name;
    std::string typed;
    std::optional<std::string> expected;

    friend void PrintTo(const EntryRow &row, std::ostream *out) { *out << row.name; }
};

class PathLookupFindFirstEntry : public testing::TestWithParam<EntryRow>
{
protected:
    void SetUp() override
    {
        for (const char *name : {"A.txt", "a.txt", "[a].txt", "b.log", ".hidden", "Two words",
                                 "\x95\x5C", "\xC3\x84.txt"})
            m_dir.write(name, "");
        fs::create_directory(m_dir.path("Sub"));
        fs::create_symlink("nowhere", m_dir.path("Dangling"));
    }

    TempDir m_dir;
};

TEST_P(PathLookupFindFirstEntry, GivesTheStoredName)
{
    const std::optional<std::string> found =
        PathLookup::findFirstEntry(m_dir.path() + "/" + GetParam().typed);

    EXPECT_EQ(found, GetParam().expected);
}

const EntryRow kEntryRows[] = {
    {"ExactNameBeforeAnEarlierOtherCase", "a.txt", "a.txt"},
    {"OtherCaseTakesTheFirstInByteOrder", "A.TXT", "A.txt"},
    {"Folder", "sub", "Sub"},
    {"DanglingLink", "dangling", "Dangling"},
    {"Spaces", "TWO WORDS", "Two words"},
    {"StarTakesTheFirstInByteOrder", "*.TXT", "A.txt"},
    {"StarSkipsDotAndDotDot", "*", ".hidden"},
    {"QuestionMarkTakesOneByte", "?.log", "b.log"},
    {"BracketIsLiteral", "[A].TXT", "[a].txt"},
    {"ShiftJisBytesExact", "\x95\x5C", "\x95\x5C"},
    {"OnlyAsciiLettersFolded", "\xC3\xA4.txt", std::nullopt},
    {"NoMatch", "c.*", std::nullopt},
    {"EmptyLastName", "", std::nullopt},
    {"InsideAMissingFolder", "none/a.txt", std::nullopt},
    {"InsideAFile", "a.txt/x", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Names, PathLookupFindFirstEntry, testing::ValuesIn(kEntryRows),
                         rowName<EntryRow>);

TEST(PathLookup, FindFirstEntryLooksAPathWithoutSlashUpInTheCurrentFolder)
{
    const TempDir dir;
    dir.write("Here.txt", "");
    const CurrentFolder inDir(dir.path());

    EXPECT_EQ(PathLookup::findFirstEntry("HERE.TXT"), "Here.txt");
}

struct MatchRow
{
    const char *name;
    std::string pattern;
    std::string entry;
    bool matches;

    friend void PrintTo(const MatchRow &row, std::ostream *out) { *out << row.name; }
};

class PathLookupMatches : public testing::TestWithParam<MatchRow>
{};

TEST_P(PathLookupMatches, AsTheRowSays)
{
    EXPECT_EQ(PathLookup::matches(GetParam().pattern, GetParam().entry), GetParam().matches);
}

const MatchRow kMatchRows[] = {
    {"SameBytes", "abc", "abc", true},
    {"AsciiCaseIgnored", "aBc", "AbC", true},
    {"OnlyAsciiFolded", "\xC3\x84", "\xC3\xA4", false},
    {"QuestionMarkTakesOneByte", "a?c", "abc", true},
    {"QuestionMarkNeedsAByte", "a?c", "ac", false},
    {"StarTakesNothing", "a*c", "ac", true},
    {"StarTakesARun", "a*c", "abbbc", true},
    {"StarTakesBackAfterAFalseStart", "*ab", "aab", true},
    {"StarsInARow", "a**", "a", true},
    {"TailMustMatch", "*.txt", "a.txt.bak", false},
    {"BracketLiteral", "[a]", "a", false},
    {"EmptyPatternOnlyEmpty", "", "a", false},
    {"ManyStarsGiveUpQuickly", "*a*a*a*a*a*a*a*a*a*a*b", std::string(4000, 'a'), false},
};

INSTANTIATE_TEST_SUITE_P(Patterns, PathLookupMatches, testing::ValuesIn(kMatchRows),
                         rowName<MatchRow>);

// A folder holding one entry of every kind; the socket lives as long as the folder.
class FileKinds
{
public:
    FileKinds()
    {
        m_dir.write("file", "x");
        fs::create_symlink("file", m_dir.path("linkToFile"));
        fs::create_directory(m_dir.path("folder"));
        fs::create_directory_symlink("folder", m_dir.path("linkToFolder"));
        fs::create_symlink("nowhere", m_dir.path("dangling"));
        mkfifo(m_dir.path("fifo").c_str(), 0600);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        m_dir.path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
        m_socket = socket(AF_UNIX, SOCK_STREAM, 0);
        bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    }
    ~FileKinds() { close(m_socket); }

    std::string path(const std::string &name) const { return m_dir.path(name); }

private:
    TempDir m_dir;
    int m_socket = -1;
};

struct KindRow
{
    const char *name;
    const char *entry;
    bool regular;

    friend void PrintTo(const KindRow &row, std::ostream *out) { *out << row.name; }
};

class PathLookupIsRegularFile : public testing::TestWithParam<KindRow>
{};

TEST_P(PathLookupIsRegularFile, OnlyForARegularFileAfterLinks)
{
    const FileKinds kinds;
    const std::string entry = GetParam().entry;
    const std::string path = entry.starts_with('/') ? entry : kinds.path(entry);

    EXPECT_EQ(PathLookup::isRegularFile(path), GetParam().regular);
}

const KindRow kKindRows[] = {
    {"RegularFile", "file", true},
    {"LinkToAFile", "linkToFile", true},
    {"FileWithTrailingSlash", "file/", false},
    {"Folder", "folder", false},
    {"LinkToAFolder", "linkToFolder", false},
    {"DanglingLink", "dangling", false},
    {"Missing", "missing", false},
    {"Fifo", "fifo", false},
    {"Socket", "socket", false},
    {"Device", "/dev/null", false},
};

INSTANTIATE_TEST_SUITE_P(Kinds, PathLookupIsRegularFile, testing::ValuesIn(kKindRows),
                         rowName<KindRow>);

} // namespace
