#include "TZuVersInfo.h"

#include "CurrentFolder.h"
#include "FailureMessage.h"
#include "MakerAddresses.h"
#include "TempDir.h"
#include "UserLocaleVariable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

std::string fixture(const char *name)
{
    return std::string(FIXTURES) + "/" + name + ".elf";
}

std::string failureOf(TZuVersInfo &info, std::size_t index)
{
    return failureMessage([&] { info.GetVersionItem(index); });
}

struct ItemRow
{
    const char *name;
    std::size_t index;
    const char *value;
};

void PrintTo(const ItemRow &row, std::ostream *out)
{
    *out << row.name;
}

class RunningProgram : public testing::TestWithParam<ItemRow>
{};

TEST_P(RunningProgram, AnswersFromItsOwnResource)
{
    TZuVersInfo info;

    EXPECT_EQ(info.GetVersionItem(GetParam().index), GetParam().value);
}

const ItemRow kItemRows[] = {
    {"CompanyName", 0, MakerAddresses::kMail},
    {"FileDescription", 1, "qarvo"},
    {"FileVersion", 2, "0.1.1.0"},
    {"InternalName", 3, "qarvo"},
    {"LegalCopyright", 4, "Copyright (C) 2026 the qarvo developers"},
    {"OriginalFilename", 5, "qarvo.exe"},
    {"ProductName", 6, "qarvo"},
    {"ProductVersion", 7, "0.1.0.0"},
};

INSTANTIATE_TEST_SUITE_P(TZuVersInfo, RunningProgram, testing::ValuesIn(kItemRows),
                         [](const auto &info) { return info.param.name; });

TEST(TZuVersInfo, TheViewerCarriesTheSameResource)
{
    TZuVersInfo info;
    info.SetFileName(VIEWER);

    EXPECT_EQ(info.GetVersionItem(1), "qarvo");
    EXPECT_EQ(info.GetVersionItem(2), "0.1.1.0");
    EXPECT_EQ(info.GetVersionString("Comments"), "自己責任にてご使用願います");
}

TEST(TZuVersInfo, RawValuesKeepEveryCountedCharacter)
{
    TZuVersInfo info;

    EXPECT_EQ(info.QueryVersionInfo("\\VarFileInfo\\Translation"), "\x11\x04\xA4\x03"s);
    EXPECT_EQ(info.QueryVersionInfo("\\StringFileInfo\\041103A4\\FileVersion"), "0.1.1.0\0"s);
    EXPECT_EQ(info.QueryVersionInfo("\\StringFileInfo\\041103A4\\LegalTrademarks"), "\0"s);
}

struct TranslationRow
{
    const char *name;
    const char *locale;
    const char *description;
};

void PrintTo(const TranslationRow &row, std::ostream *out)
{
    *out << row.locale;
}

class TZuVersInfoTranslation : public testing::TestWithParam<TranslationRow>
{};

// Pairs: 0409 04E4, 0411 03A4, 0411 04B0.
TEST_P(TZuVersInfoTranslation, IsTheLastInTheUsersLanguageElseTheFirst)
{
    const UserLocaleVariable locale(GetParam().locale);
    TZuVersInfo info;
    info.SetFileName(fixture("Translations"));

    EXPECT_EQ(info.GetVersionItem(1), GetParam().description);
}

const TranslationRow kTranslationRows[] = {
    {"Japanese", "ja_JP.UTF-8", "日本語 1200"},
    {"GermanNotThere", "de_DE.UTF-8", "English"},
    {"C", "C", "English"},
};

INSTANTIATE_TEST_SUITE_P(TZuVersInfo, TZuVersInfoTranslation, testing::ValuesIn(kTranslationRows),
                         [](const auto &info) { return info.param.name; });

TEST(TZuVersInfo, TheTranslationIsChosenAgainForEveryString)
{
    TZuVersInfo info;
    info.SetFileName(fixture("Translations"));
    std::string first;
    {
        const UserLocaleVariable locale("de_DE.UTF-8");
        first = info.GetVersionItem(1);
    }

    const UserLocaleVariable locale("ja_JP.UTF-8");

    EXPECT_EQ(first, "English");
    EXPECT_EQ(info.GetVersionItem(1), "日本語 1200");
}

TEST(TZuVersInfo, ALanguageOfZeroBytesIsReadWhole)
{
    TZuVersInfo info;
    info.SetFileName(fixture("ZeroLanguage"));

    EXPECT_EQ(info.GetVersionString("FileDescription"), "Neutral");
}

TEST(TZuVersInfo, AnEmptyValueIsAnEmptyText)
{
    const UserLocaleVariable locale("C");
    TZuVersInfo info;
    info.SetFileName(fixture("Translations"));

    EXPECT_EQ(info.GetVersionString("LegalTrademarks"), "");
}

TEST(TZuVersInfo, AMissingKeyFails)
{
    const UserLocaleVariable locale("C");
    TZuVersInfo info;
    info.SetFileName(fixture("Translations"));

    EXPECT_EQ(failureOf(info, 6), "QueryVersionInfo:Required key not available");
}

TEST(TZuVersInfo, WithoutAWholeTranslationPairEveryStringFails)
{
    TZuVersInfo noTranslation;
    noTranslation.SetFileName(fixture("NoTranslation"));
    TZuVersInfo shortTranslation;
    shortTranslation.SetFileName(fixture("ShortTranslation"));

    EXPECT_EQ(failureOf(noTranslation, 1), "QueryVersionInfo:Required key not available");
    EXPECT_EQ(shortTranslation.QueryVersionInfo("\\VarFileInfo\\Translation"), "\x11\x04"s);
    EXPECT_EQ(failureOf(shortTranslation, 1), "QueryVersionInfo:Required key not available");
}

struct UnreadableRow
{
    const char *name;
    std::string (*make)(const TempDir &dir); // the file's path
    const char *message;
};

void PrintTo(const UnreadableRow &row, std::ostream *out)
{
    *out << row.name;
}

class TZuVersInfoUnreadable : public testing::TestWithParam<UnreadableRow>
{};

TEST_P(TZuVersInfoUnreadable, FailsWithTheSystemsText)
{
    const TempDir dir;
    TZuVersInfo info;
    info.SetFileName(GetParam().make(dir));

    EXPECT_EQ(failureOf(info, 1), GetParam().message);
}

const UnreadableRow kUnreadableRows[] = {
    {"NoSection", [](const TempDir &) { return std::string(WITHOUT_VERSION); },
     "QueryVersionInfo:No data available"},
    {"Missing", [](const TempDir &dir) { return dir.path("missing"); },
     "QueryVersionInfo:No such file or directory"},
    {"Folder", [](const TempDir &dir) { return dir.path(); }, "QueryVersionInfo:Is a directory"},
    {"NotAnExecutable", [](const TempDir &dir) { return dir.write("text", "no ELF file"); },
     "QueryVersionInfo:Exec format error"},
};

INSTANTIATE_TEST_SUITE_P(TZuVersInfo, TZuVersInfoUnreadable, testing::ValuesIn(kUnreadableRows),
                         [](const auto &info) { return info.param.name; });

TEST(TZuVersInfo, AFileWithoutAResourceIsAskedAgainAtEveryQuestion)
{
    const UserLocaleVariable locale("C");
    const TempDir dir;
    const std::string program = dir.path("program");
    fs::copy_file(WITHOUT_VERSION, program);
    TZuVersInfo info;
    info.SetFileName(program);
    const std::string first = failureOf(info, 1);
    const std::string second = failureOf(info, 1);

    fs::copy_file(fixture("Translations"), program, fs::copy_options::overwrite_existing);

    EXPECT_EQ(first, "QueryVersionInfo:No data available");
    EXPECT_EQ(second, first);
    EXPECT_EQ(info.GetVersionItem(1), "English");
}

TEST(TZuVersInfo, TheFirstFileReadAnswersForGood)
{
    const UserLocaleVariable locale("C");
    const TempDir dir;
    const std::string program = dir.path("program");
    fs::copy_file(fixture("Translations"), program);
    TZuVersInfo info;
    info.SetFileName(program);
    const std::string first = info.GetVersionItem(1);

    fs::remove(program);
    info.SetFileName(fixture("ZeroLanguage"));

    EXPECT_EQ(first, "English");
    EXPECT_EQ(info.GetVersionItem(1), "English");
    EXPECT_EQ(info.FileName(), fixture("ZeroLanguage"));
}

TEST(TZuVersInfo, StartsAtTheRunningExecutable)
{
    const TZuVersInfo info;

    EXPECT_EQ(info.FileName(), fs::read_symlink("/proc/self/exe").string());
}

// Kept in a saved layout exactly when it names the running executable, in whatever form.
TEST(TZuVersInfo, FileNameIsStoredWhenItNamesTheRunningExecutable)
{
    const fs::path executable = fs::read_symlink("/proc/self/exe");
    const fs::path folder = executable.parent_path();
    std::string shouted = executable.filename().string();
    for (char &c : shouted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    TZuVersInfo info;
    const bool byDefault = info.IsFileNameStored();
    info.SetFileName((folder / ".." / folder.filename() / shouted).string());
    const bool inAnotherForm = info.IsFileNameStored();

    info.SetFileName(fixture("Translations"));

    EXPECT_TRUE(byDefault);
    EXPECT_TRUE(inAnotherForm);
    EXPECT_FALSE(info.IsFileNameStored());
}

struct LongPathRow
{
    const char *name;
    const char *path; // "~" is the test's folder
    const char *longPath;
};

void PrintTo(const LongPathRow &row, std::ostream *out)
{
    *out << row.path;
}

class LongPath : public testing::TestWithParam<LongPathRow>
{
protected:
    LongPath()
    {
        fs::create_directories(m_dir.path("Long Folder/Inner"));
        m_dir.write("Long Folder/Data File.TXT", "data");
    }

    std::string resolved(std::string path) const
    {
        if (path.starts_with('~'))
            path.replace(0, 1, m_dir.path());
        return path;
    }

    TempDir m_dir;
};

TEST_P(LongPath, GivesEveryExistingElementItsStoredName)
{
    const CurrentFolder inside(m_dir.path("Long Folder"));

    EXPECT_EQ(LongPathOf(resolved(GetParam().path)), resolved(GetParam().longPath));
}

const LongPathRow kLongPathRows[] = {
    {"Stored", "~/Long Folder/Data File.TXT", "~/Long Folder/Data File.TXT"},
    {"OtherCase", "~/long folder/DATA FILE.txt", "~/Long Folder/Data File.TXT"},
    {"Wildcards", "~/L*/D?ta*", "~/Long Folder/Data File.TXT"},
    {"MissingTail", "~/long folder/new/a.txt", "~/Long Folder/new/a.txt"},
    {"Relative", "inner/../data file.txt", "~/Long Folder/Data File.TXT"},
    {"TrailingSeparator", "~/long folder/", "~/Long Folder/"},
    {"RepeatedSeparators", "~//long folder//inner", "~/Long Folder/Inner"},
    {"Root", "/", "/"},
    {"Empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(TZuVersInfo, LongPath, testing::ValuesIn(kLongPathRows),
                         [](const auto &info) { return info.param.name; });

TEST(TZuVersInfo, LongNameOfIsTheStoredNameOrTheLastElement)
{
    const TempDir dir;
    dir.write("Stored.TXT", "");

    EXPECT_EQ(LongNameOf(dir.path("stored.txt")), "Stored.TXT");
    EXPECT_EQ(LongNameOf(dir.path("missing.txt")), "missing.txt");
    EXPECT_EQ(LongNameOf("/"), "");
}

TEST(TZuVersInfo, APathTooLongToNameAFileFails)
{
    const std::string tooLong = "/" + std::string(5000, 'a');

    EXPECT_EQ(failureMessage([&] { FullPathOf(tooLong); }), "GetFullPathName:File name too long");
    EXPECT_EQ(failureMessage([&] { LongPathOf(tooLong); }), "GetFullPathName:File name too long");
}

} // namespace
