#include "FindPattern.h"
#include "EncodingCatalog.h"
#include "RowName.h"

#include <gtest/gtest.h>

namespace {

struct HexRow
{
    std::string name;
    std::string typed;
    std::string bytes; // empty: refused
};

void PrintTo(const HexRow &row, std::ostream *out)
{
    *out << row.name;
}

class FindPatternHex : public testing::TestWithParam<HexRow>
{};

TEST_P(FindPatternHex, ReadsPairsOrRefuses)
{
    const HexRow &row = GetParam();

    if (row.bytes.empty()) {
        EXPECT_THROW(FindPattern::hex(row.typed), FindPattern::Error);
        return;
    }
    const FindPattern pattern = FindPattern::hex(row.typed);

    EXPECT_EQ(pattern.bytes(), row.bytes);
    EXPECT_FALSE(pattern.onUnits());
    EXPECT_FALSE(pattern.caseFolded());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FindPatternHex,
    testing::Values(HexRow{"Spaced", "8A BF", "\x8A\xBF"}, HexRow{"Joined", "8abf", "\x8A\xBF"},
                    HexRow{"BlanksAround", " \t8a  bF ", "\x8A\xBF"},
                    HexRow{"Nul", "00", std::string(1, '\0')}, HexRow{"OddDigit", "8AB", ""},
                    HexRow{"PairSplitByBlank", "8 A", ""}, HexRow{"NotHex", "8G", ""},
                    HexRow{"Prefixed", "0x8A", ""}, HexRow{"Empty", "", ""},
                    HexRow{"BlanksOnly", "  ", ""}, HexRow{"Wide", "\xEF\xBC\x98\x41", ""}),
    rowName<HexRow>);

TEST(FindPattern, HexErrorSaysWhereAndWhat)
{
    try {
        FindPattern::hex("8A Bx");
        FAIL();
    } catch (const FindPattern::Error &error) {
        EXPECT_STREQ(error.what(), "\"x\" is no hex digit (position 5)");
    }
}

struct TextRow
{
    std::string name;
    std::string encoding;
    std::string typed;
    std::string bytes;
};

void PrintTo(const TextRow &row, std::ostream *out)
{
    *out << row.name;
}

class FindPatternText : public testing::TestWithParam<TextRow>
{};

TEST_P(FindPatternText, IsWrittenInTheEncoding)
{
    const TextRow &row = GetParam();
    const auto encoding = EncodingCatalog::make(row.encoding);

    const FindPattern pattern = FindPattern::text(row.typed, *encoding, true);

    EXPECT_EQ(pattern.bytes(), row.bytes);
    EXPECT_TRUE(pattern.onUnits());
}

INSTANTIATE_TEST_SUITE_P(Rows, FindPatternText,
                         testing::Values(TextRow{"ShiftJis", "Shift_JIS", "\xE3\x82\xBD\\",
                                                 "\x83\x5C\\"},
                                         TextRow{"EucJp", "EUC-JP", "\xE3\x81\x82", "\xA4\xA2"},
                                         TextRow{"Utf8", "UTF-8", "\xC3\xA9", "\xC3\xA9"},
                                         TextRow{"Latin1", "ISO-8859-1", "\xC3\xA9", "\xE9"},
                                         TextRow{"Ebcdic", "IBM-037", "Ab", "\xC1\x82"}),
                         rowName<TextRow>);

struct UnwritableRow
{
    std::string name;
    std::string encoding;
    std::string typed;
    std::string message;
};

void PrintTo(const UnwritableRow &row, std::ostream *out)
{
    *out << row.name;
}

class FindPatternUnwritable : public testing::TestWithParam<UnwritableRow>
{};

TEST_P(FindPatternUnwritable, NamesTheCharacter)
{
    const UnwritableRow &row = GetParam();
    const auto encoding = EncodingCatalog::make(row.encoding);

    try {
        FindPattern::text(row.typed, *encoding, false);
        FAIL();
    } catch (const FindPattern::Error &error) {
        EXPECT_EQ(error.what(), row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FindPatternUnwritable,
    testing::Values(UnwritableRow{"EmojiInShiftJis", "Shift_JIS", "a\xF0\x9F\x98\x80",
                                  "\xE2\x80\x9C\xF0\x9F\x98\x80\xE2\x80\x9D (U+1F600) cannot be "
                                  "written in Shift_JIS"},
                    UnwritableRow{"KanaInLatin1", "ISO-8859-1", "x\xE3\x82\xA2y",
                                  "\xE2\x80\x9C\xE3\x82\xA2\xE2\x80\x9D (U+30A2) cannot be "
                                  "written in ISO-8859-1"},
                    UnwritableRow{"IllFormedInput", "UTF-8", "a\xFF",
                                  "The text is not valid UTF-8"},
                    UnwritableRow{"Empty", "UTF-8", "", "Type the text to find"}),
    rowName<UnwritableRow>);

TEST(FindPattern, OtherCaseTouchesOnlyLetters)
{
    const auto shiftJis = EncodingCatalog::make("Shift_JIS");

    // ア is 83 41: its second byte is "A", and must stay as it is.
    const FindPattern pattern = FindPattern::text("\xE3\x82\xA2xY1", *shiftJis, false);

    EXPECT_EQ(pattern.bytes(), "\x83\x41xY1");
    EXPECT_EQ(pattern.otherCase(), "\x83\x41Xy1");
}

TEST(FindPattern, LocaleNamesGiveTheirCharsets)
{
    EXPECT_EQ(FindPattern::charsetOf(*EncodingCatalog::make("Shift_JIS")), "CP932");
    EXPECT_EQ(FindPattern::charsetOf(*EncodingCatalog::make("IBM-939")), "IBM939");
    EXPECT_EQ(FindPattern::charsetOf(*EncodingCatalog::make("Windows-1252")), "CP1252");
}

} // namespace
