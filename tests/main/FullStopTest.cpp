#include "FullStop.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace {

struct FullStopRow
{
    const char *name;
    std::string message;
    std::string shown;

    friend void PrintTo(const FullStopRow &row, std::ostream *out) { *out << row.name; }
};

class FullStop : public testing::TestWithParam<FullStopRow>
{};

TEST_P(FullStop, AppendsAfterCharactersAboveTheFullStop)
{
    const FullStopRow &row = GetParam();

    EXPECT_EQ(withFullStop(row.message), row.shown);
}

const FullStopRow kRows[] = {
    {"Empty", "", ""},
    {"Letter", "Disk full", "Disk full."},
    {"Slash", "a/", "a/."},
    {"Digit", "Error 5", "Error 5."},
    {"FullStop", "Done.", "Done."},
    {"Parenthesis", "(7)", "(7)"},
    {"Exclamation", "Stop!", "Stop!"},
    {"Hyphen", "a-", "a-"},
    {"Comma", "a,", "a,"},
    {"Space", "a ", "a "},
    {"DoubleByteCharacter", "ファイル a.txt は開けません", "ファイル a.txt は開けません."},
    {"IndexMessage", "リストのインデックスが範囲を超えています (3)",
     "リストのインデックスが範囲を超えています (3)"},
    {"HalfWidthKatakana", "ｶ", "ｶ."},
    {"ColonOfTheVersionMessages", "QueryVersionInfo:", "QueryVersionInfo:."},
};

INSTANTIATE_TEST_SUITE_P(Messages, FullStop, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<FullStopRow> &info) {
                             return info.param.name;
                         });

} // namespace
