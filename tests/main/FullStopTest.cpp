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

INSTANTIATE_TEST_SUITE_P(
    Messages, FullStop,
    testing::Values(FullStopRow{"Empty", "", ""}, FullStopRow{"Letter", "Disk full", "Disk full."},
                    FullStopRow{"Slash", "a/", "a/."}, FullStopRow{"Digit", "Error 5", "Error 5."},
                    FullStopRow{"FullStop", "Done.", "Done."},
                    FullStopRow{"Parenthesis", "(7)", "(7)"},
                    FullStopRow{"Exclamation", "Stop!", "Stop!"}, FullStopRow{"Hyphen", "a-", "a-"},
                    FullStopRow{"Comma", "a,", "a,"}, FullStopRow{"Space", "a ", "a "},
                    FullStopRow{"DoubleByteCharacter", "ファイル a.txt は開けません",
                                "ファイル a.txt は開けません."},
                    FullStopRow{"IndexMessage", "リストのインデックスが範囲を超えています (3)",
                                "リストのインデックスが範囲を超えています (3)"},
                    FullStopRow{"HalfWidthKatakana", "ｶ", "ｶ."},
                    FullStopRow{"ColonOfTheVersionMessages",
                                "QueryVersionInfo:", "QueryVersionInfo:."}),
    [](const testing::TestParamInfo<FullStopRow> &info) { return info.param.name; });

} // namespace
