#include "CodePageDecoder.h"
#include "Failure.h"

#include <gtest/gtest.h>

struct DecodeCase
{
    const char *name;
    int codePage;
    std::string bytes;
    std::string utf8; // empty: does not decode
    int columns;
};

void PrintTo(const DecodeCase &row, std::ostream *out)
{
    *out << row.name;
}

class CodePageDecoderRows : public testing::TestWithParam<DecodeCase>
{};

TEST_P(CodePageDecoderRows, DecodesPrintableCharactersOnly)
{
    const DecodeCase &row = GetParam();
    const CodePageDecoder decoder(row.codePage);

    const CodePageDecoder::Glyph glyph = decoder.glyph(row.bytes);
    const std::optional<std::string> decoded = decoder.decode(row.bytes);

    EXPECT_EQ(glyph.utf8, row.utf8);
    EXPECT_EQ(glyph.columns, row.columns);
    EXPECT_EQ(decoded.has_value(), !row.utf8.empty());
    EXPECT_EQ(decoded.value_or(""), row.utf8);
}

const DecodeCase kDecodeCases[] = {
    {"Ascii932", 932, "A", "A", 1},
    {"HalfWidthKatakana", 932, "\xB6", "\xEF\xBD\xB6", 1},
    {"Kanji", 932, "\x8A\xBF", "\xE6\xBC\xA2", 2},
    {"TrailInLeadSet", 932, "\x88\x9F", "\xE4\xBA\x9C", 2},
    {"NarrowDoubleByte", 932, "\x81\x98", "\xC2\xA7", 1},
    {"LeadWithControl", 932, "\x8A\x09", "", 0},
    {"LoneLead", 932, "\x8A", "", 0},
    {"Tab", 932, "\t", "", 0},
    {"ThreeBytes", 932, "abc", "", 0},
    {"Euro1252", 1252, "\x80", "\xE2\x82\xAC", 1},
    {"Unassigned1252", 1252, "\x81", "", 0},
    {"C1Control1252", 1252, "\x9D", "", 0},
    {"Gbk936", 936, "\xB0\xA1", "\xE5\x95\x8A", 2},
    {"Hangul949", 949, "\xB0\xA1", "\xEA\xB0\x80", 2},
    {"Big5950", 950, "\xA4\x40", "\xE4\xB8\x80", 2},
    {"CombiningMark1258", 1258, "\xCC", "\xCC\x80", 0},
};

INSTANTIATE_TEST_SUITE_P(Characters, CodePageDecoderRows, testing::ValuesIn(kDecodeCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CodePageDecoder, UnknownCodePageFails)
{
    EXPECT_THROW(CodePageDecoder(12345), Failure);
}
