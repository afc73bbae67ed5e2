#include "SpinValueRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr std::int32_t kMin = -99; // a MinValue that no row's text reads as

struct ReadRow
{
    const char *name;
    std::string text;
    std::int32_t expected;
};

class ReadValueTest : public testing::TestWithParam<ReadRow>
{};

TEST_P(ReadValueTest, ReadsTheTextOrFallsBackToMinValue)
{
    const ReadRow &row = GetParam();

    EXPECT_EQ(SpinValueRules::ReadValue(row.text, kMin), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SpinValueRules, ReadValueTest,
    testing::Values(
        ReadRow{"Empty", "", kMin}, ReadRow{"LonePlus", "+", kMin}, ReadRow{"LoneMinus", "-", kMin},
        ReadRow{"TrailingSpace", "7 ", kMin}, ReadRow{"DecimalSeparator", "1.5", kMin},
        ReadRow{"DecimalJustAboveRange", "2147483648", kMin},
        ReadRow{"DecimalJustBelowRange", "-2147483649", kMin},
        ReadRow{"ManyDigits", "99999999999999999999", kMin}, ReadRow{"LeadingSpace", " 7", 7},
        ReadRow{"LeadingTab", "\t7", kMin}, ReadRow{"LeadingZeros", "007", 7},
        ReadRow{"PlusSign", "+7", 7}, ReadRow{"DoubledSign", "--7", kMin},
        ReadRow{"SpaceAfterSign", "- 7", kMin}, ReadRow{"DollarHex", "$1F", 31},
        ReadRow{"ZeroXHex", "0x10", 16}, ReadRow{"UpperZeroXHex", "0X1f", 31},
        ReadRow{"BareXHex", "x10", 16}, ReadRow{"UpperBareXHex", "X10", 16},
        ReadRow{"NegativeHex", "-$10", -16}, ReadRow{"HexPatternAllOnes", "$FFFFFFFF", -1},
        ReadRow{"NegatedHexPattern", "-$FFFFFFFF", 1},
        ReadRow{"HexLeadingZeros", "$000000000A", 10}, ReadRow{"HexAboveRange", "$100000000", kMin},
        ReadRow{"PrefixWithoutDigits", "$", kMin}, ReadRow{"ZeroXWithoutDigits", "0x", kMin},
        ReadRow{"HexDigitInDecimal", "1F", kMin}, ReadRow{"Zero", "0", 0},
        ReadRow{"Largest", "2147483647", INT32_MAX}, ReadRow{"Smallest", "-2147483648", INT32_MIN},
        ReadRow{"PlusSmallestMagnitude", "+2147483648", kMin}),
    [](const testing::TestParamInfo<ReadRow> &info) { return info.param.name; });

struct ClampRow
{
    const char *name;
    std::int32_t minValue;
    std::int32_t maxValue;
    std::int32_t n;
    std::int32_t expected;
};

class ClampValueTest : public testing::TestWithParam<ClampRow>
{};

TEST_P(ClampValueTest, LimitsOnlyWhenTheBoundsDiffer)
{
    const ClampRow &row = GetParam();

    EXPECT_EQ(SpinValueRules::ClampValue(row.n, row.minValue, row.maxValue), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SpinValueRules, ClampValueTest,
    testing::Values(ClampRow{"EqualBoundsKeepPositive", 0, 0, 5, 5},
                    ClampRow{"EqualBoundsKeepNegative", 0, 0, -7, -7},
                    ClampRow{"AboveMax", 0, 10, 11, 10}, ClampRow{"BelowMin", 0, 10, -3, 0},
                    ClampRow{"Inside", 0, 10, 4, 4}, ClampRow{"OnMax", 0, 10, 10, 10},
                    ClampRow{"CrossedBelowMin", 5, 1, 3, 5},
                    ClampRow{"CrossedAboveMin", 5, 1, 7, 1}, ClampRow{"CrossedOnMin", 5, 1, 5, 1}),
    [](const testing::TestParamInfo<ClampRow> &info) { return info.param.name; });

TEST(SpinValueRules, StepsWrapAroundAt32Bits)
{
    EXPECT_EQ(SpinValueRules::AddWrapping(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(SpinValueRules::SubtractWrapping(INT32_MIN, 1), INT32_MAX);
    EXPECT_EQ(SpinValueRules::SubtractWrapping(0, INT32_MIN), INT32_MIN);
    EXPECT_EQ(SpinValueRules::AddWrapping(3, -5), -2);
}

struct CharRow
{
    const char *name;
    char32_t c;
    bool acceptedWithEditor;
    bool acceptedWithoutEditor;
};

class AcceptsCharTest : public testing::TestWithParam<CharRow>
{};

TEST_P(AcceptsCharTest, FiltersTypedCharacters)
{
    const CharRow &row = GetParam();

    EXPECT_EQ(SpinValueRules::AcceptsChar(row.c, true, U','), row.acceptedWithEditor);
    EXPECT_EQ(SpinValueRules::AcceptsChar(row.c, false, U','), row.acceptedWithoutEditor);
}

INSTANTIATE_TEST_SUITE_P(
    SpinValueRules, AcceptsCharTest,
    testing::Values(CharRow{"Zero", U'0', true, false}, CharRow{"Nine", U'9', true, false},
                    CharRow{"Plus", U'+', true, false}, CharRow{"Minus", U'-', true, false},
                    CharRow{"LocaleSeparator", U',', true, false},
                    CharRow{"OtherSeparator", U'.', false, false},
                    CharRow{"Backspace", 8, true, false},
                    CharRow{"CarriageReturn", 13, false, false},
                    CharRow{"CtrlVPaste", 22, true, true}, CharRow{"CtrlCCopy", 3, true, true},
                    CharRow{"Escape", 27, true, true}, CharRow{"Nul", 0, true, true},
                    CharRow{"Space", U' ', false, false}, CharRow{"Letter", U'a', false, false},
                    CharRow{"HexDollar", U'$', false, false},
                    CharRow{"ShiftJisLeadByte", 0x82, false, false},
                    CharRow{"FullWidthDigit", U'\uFF11', false, false}),
    [](const testing::TestParamInfo<CharRow> &info) { return info.param.name; });

} // namespace
