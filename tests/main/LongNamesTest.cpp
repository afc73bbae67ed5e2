#include "LongNames.h"

#include "RowName.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ExpandRow
{
    const char *name;
    // "~" stands for a temp folder holding Work with the names below.
    const char *typed;
    const char *expected;

    friend void PrintTo(const ExpandRow &row, std::ostream *out) { *out << row.name; }
};

class LongNamesExpandShortName : public testing::TestWithParam<ExpandRow>
{
protected:
    void SetUp() override
    {
        for (const char *folder : {"Work/Log files", "Work/\x95\x5C", "Work/データ"})
            fs::create_directories(m_dir.path(folder));
        for (const char *file : {"Work/Log files/Day01 summary.txt", "Work/Log files/b.txt",
                                 "Work/\x95\x5C/Inside.txt", "Work/データ/notes.txt"})
            m_dir.write(file, "");
    }

    std::string resolved(std::string path) const
    {
        if (path.starts_with('~'))
            path.replace(0, 1, m_dir.path());
        return path;
    }

    TempDir m_dir;
};

TEST_P(LongNamesExpandShortName, GivesEachExistingNameAsStored)
{
    const std::string expanded = LongNames::ExpandShortName(resolved(GetParam().typed));

    EXPECT_EQ(expanded, resolved(GetParam().expected));
}

const ExpandRow kExpandRows[] = {
    {"StoredNamesComeBackUnchanged", "~/Work/Log files/Day01 summary.txt",
     "~/Work/Log files/Day01 summary.txt"},
    {"OtherCaseBecomesTheStoredCase", "~/WORK/LOG FILES/DAY01 SUMMARY.TXT",
     "~/Work/Log files/Day01 summary.txt"},
    {"WildcardsTakeTheFirstMatch", "~/w*/L?G*/*.TXT", "~/Work/Log files/Day01 summary.txt"},
    {"FolderGetsItsStoredName", "~/work/log files", "~/Work/Log files"},
    {"AfterAMissingNameTheRestStaysAsTyped", "~/work/NEW/log files", "~/Work/NEW/log files"},
    {"MissingFileStaysAsTyped", "~/work/log files/C.TXT", "~/Work/Log files/C.TXT"},
    {"TrailingSlashComesBackUnchanged", "~/work//log files/", "~/work//log files/"},
    {"RunsOfSlashesBecomeOne", "~//work///LOG FILES", "~/Work/Log files"},
    {"ShiftJisFolderEndingInByte5C", "~/work/\x95\x5C/INSIDE.TXT", "~/Work/\x95\x5C/Inside.txt"},
    {"Utf8Names", "~/WORK/データ/NOTES.TXT", "~/Work/データ/notes.txt"},
    {"Root", "/", "/"},
    {"Empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Paths, LongNamesExpandShortName, testing::ValuesIn(kExpandRows),
                         rowName<ExpandRow>);

struct ArgumentRow
{
    const char *name;
    std::vector<std::string> arguments;
    std::optional<std::string> first;

    friend void PrintTo(const ArgumentRow &row, std::ostream *out) { *out << row.name; }
};

class LongNamesFirstArgument : public testing::TestWithParam<ArgumentRow>
{};

TEST_P(LongNamesFirstArgument, IsTheFirstNonEmptyOne)
{
    EXPECT_EQ(LongNames::firstArgument(GetParam().arguments), GetParam().first);
}

const ArgumentRow kArgumentRows[] = {
    {"None", {}, std::nullopt},
    {"OnlyEmptyOnes", {"", ""}, std::nullopt},
    {"SecondIgnored", {"a b.txt", "c.txt"}, "a b.txt"},
    {"EmptyFirstSkipped", {"", "c.txt", "d.txt"}, "c.txt"},
};

INSTANTIATE_TEST_SUITE_P(CommandLines, LongNamesFirstArgument, testing::ValuesIn(kArgumentRows),
                         rowName<ArgumentRow>);

} // namespace
