#include "Encoding.h"
#include "Bytes.h"
#include "EncodingCatalog.h"
#include "LeadByteEncoding.h"
#include "RowName.h"

#include "CatalogEncodings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

void PrintTo(const Mark &mark, std::ostream *out)
{
    *out << Mark::reason(mark.kind) << '@' << mark.offset << '+' << mark.length;
}

void PrintTo(const UnitStart &start, std::ostream *out)
{
    *out << start.offset << '/' << int(start.state);
}

namespace {

// Units as "C3 I1 S1": kind letter and length.
std::string cutText(const Encoding &encoding, std::string_view record)
{
    std::string text;
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        const Unit unit = encoding.unitAt(record, at, state);
        const char *kinds = "CIS";
        text += (text.empty() ? "" : " ") + std::string(1, kinds[int(unit.kind)]) +
                std::to_string(unit.length);
        at += std::max<std::size_t>(unit.length, 1);
    }
    return text;
}

struct CutRow
{
    std::string name;
    const char *encoding;
    std::string record;
    const char *units;
};

void PrintTo(const CutRow &row, std::ostream *out)
{
    *out << row.name;
}

class EncodingCut : public testing::TestWithParam<CutRow>
{};

TEST_P(EncodingCut, CutsMaximalSubpartsFromTheFirstByte)
{
    const auto encoding = EncodingCatalog::make(GetParam().encoding);
    ASSERT_TRUE(encoding);
    EXPECT_EQ(cutText(*encoding, GetParam().record), GetParam().units);
}

const CutRow kCutRows[] = {
    {"Utf8ThreeAndFourBytes", "UTF-8", bytes({0xE3, 0x81, 0x82, 0xF0, 0x9F, 0x98, 0x80, 'a'}),
     "C3 C4 C1"},
    {"Utf8OverlongC080", "UTF-8", bytes({0xC0, 0x80}), "I1 I1"},
    {"Utf8OverlongE08080", "UTF-8", bytes({0xE0, 0x80, 0x80}), "I1 I1 I1"},
    {"Utf8SurrogateEDA080", "UTF-8", bytes({0xED, 0xA0, 0x80}), "I1 I1 I1"},
    {"Utf8AboveMaxF490", "UTF-8", bytes({0xF4, 0x90, 0x80, 0x80}), "I1 I1 I1 I1"},
    {"Utf8F5", "UTF-8", bytes({0xF5, 0x80, 0xFF}), "I1 I1 I1"},
    {"Utf8CutOffAtEnd", "UTF-8", bytes({'a', 0xE3, 0x81}), "C1 I2"},
    {"Utf8BreakerBeginsNextUnit", "UTF-8", bytes({0xF0, 0x9F, 0x98, 0xE3, 0x81, 0x82}), "I3 C3"},
    {"Utf8LoneContinuation", "UTF-8", bytes({0x80}), "I1"},
    {"EucJpKatakana", "EUC-JP", bytes({0x8E, 0xB1, 0x8E, 0x41, 0x8E, 0xE0}), "C2 I1 C1 I1 I1"},
    {"EucJpSupplement", "EUC-JP", bytes({0x8F, 0xB0, 0xA1, 0x8F, 0xB0, 0x41, 0x8F}), "C3 I2 C1 I1"},
    {"EucJpTwoByte", "EUC-JP", bytes({0xA4, 0xA2, 0xA4, 0x41, 0x80, 0xFF}), "C2 I1 C1 I1 I1"},
    {"Gb18030FourBytes", "GB18030", bytes({0x81, 0x30, 0x81, 0x30, 0x81, 0x41}), "C4 C2"},
    {"Gb18030BrokenFourBytes", "GB18030", bytes({0x81, 0x30, 0x81, 0x41, 0x81, 0x30, 0x41}),
     "I3 C1 I2 C1"},
    {"Gb18030Singles", "GB18030", bytes({0x80, 0xFF, 0x81, 0xFF, 0x81}), "I1 I1 I1 I1 I1"},
    {"Gb18030DigitPairCutOff", "GB18030", bytes({0x81, 0x30}), "I2"},
    {"GbkEuroAndPairs", "GBK", bytes({0x80, 0x81, 0x40, 0x81, 0x7F, 0xFF, 0x81}),
     "C1 C2 I1 C1 I1 I1"},
    {"Big5Pairs", "big5", bytes({0xA4, 0x40, 0xA4, 0x80}), "C2 I1 I1"},
    {"UhcPairs", "cp949", bytes({0x81, 0x41, 0x81, 0x5B}), "C2 I1 C1"},
    {"ShiftJisLeadRules", "Shift_JIS", bytes({0x82, 0xA0, 0x81, 0xFD, 0x81, 0x7F, 0xA1, 0x81}),
     "C2 I2 I2 C1 I1"},
    {"Ebcdic930Shifts", "IBM-930",
     bytes({0xC1, 0x0E, 0x42, 0xC1, 0x40, 0x40, 0x41, 0x0F, 0x0F, 0xC1}),
     "C1 S1 C2 C2 I1 S1 S1 C1"},
    {"Ebcdic930BadHalves", "IBM-930", bytes({0x0E, 0x0E, 0xFF, 0x40, 0x41, 0x42}),
     "S1 S1 I1 I1 C2"},
    {"Ebcdic939SingleModeAtStart", "ibm-939", bytes({0x42, 0xC1, 0x0F, 0x42}), "C1 C1 S1 C1"},
    {"Ebcdic037", "ibm-037", bytes({0x0E, 0x42, 0xC1}), "C1 C1 C1"},
};

INSTANTIATE_TEST_SUITE_P(Records, EncodingCut, testing::ValuesIn(kCutRows), rowName<CutRow>);

struct GlyphRow
{
    std::string name;
    const char *encoding;
    std::string unit;
    ShiftState state;
    int width;
    bool mapped;
};

void PrintTo(const GlyphRow &row, std::ostream *out)
{
    *out << row.name;
}

class EncodingGlyph : public testing::TestWithParam<GlyphRow>
{};

TEST_P(EncodingGlyph, PrintableIsOneVisibleCodePointOfWidthOneOrTwo)
{
    const GlyphRow &row = GetParam();
    const auto encoding = EncodingCatalog::make(row.encoding);

    const Glyph glyph = encoding->glyph(row.unit, row.state);

    EXPECT_EQ(glyph.width, row.width);
    EXPECT_EQ(glyph.mapped, row.mapped);
}

const GlyphRow kGlyphRows[] = {
    {"Utf8Ascii", "UTF-8", "A", 0, 1, true},
    {"Utf8Wide", "UTF-8", bytes({0xE3, 0x81, 0x82}), 0, 2, true},
    {"Utf8Emoji", "UTF-8", bytes({0xF0, 0x9F, 0x98, 0x80}), 0, 2, true},
    {"Utf8Control", "UTF-8", bytes({0xC2, 0x85}), 0, 0, true},
    {"Utf8Format", "UTF-8", bytes({0xE2, 0x80, 0x8B}), 0, 0, true},
    {"Utf8PrivateUse", "UTF-8", bytes({0xEE, 0x80, 0x80}), 0, 0, true},
    {"Utf8LineSeparator", "UTF-8", bytes({0xE2, 0x80, 0xA8}), 0, 0, true},
    {"Utf8Unassigned", "UTF-8", bytes({0xCD, 0xB8}), 0, 0, true},
    {"Utf8Combining", "UTF-8", bytes({0xCC, 0x81}), 0, 0, true},
    {"EucJpKana", "EUC-JP", bytes({0xA4, 0xA2}), 0, 2, true},
    {"EucJpHalfWidth", "EUC-JP", bytes({0x8E, 0xB1}), 0, 1, true},
    {"Gb18030Control", "GB18030", bytes({0x81, 0x30, 0x81, 0x30}), 0, 0, true},
    {"Gb18030Supplementary", "GB18030", bytes({0x90, 0x30, 0x81, 0x30}), 0, 1, true},
    {"Ebcdic930DoubleByte", "IBM-930", bytes({0x42, 0xC1}), 1, 2, true},
    {"Ebcdic930DoubleByteSpace", "IBM-930", bytes({0x40, 0x40}), 1, 2, true},
    {"Ebcdic930Unmapped", "IBM-930", bytes({0x42, 0x42}), 1, 0, false},
    {"Ebcdic037Letter", "IBM-037", bytes({0xC1}), 0, 1, true},
    {"Windows1252Hole", "Windows-1252", bytes({0x81}), 0, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Units, EncodingGlyph, testing::ValuesIn(kGlyphRows), rowName<GlyphRow>);

TEST(EncodingCatalog, AliasesResolveAndUnknownNamesDoNot)
{
    const std::pair<const char *, const char *> names[] = {
        {"shift_jis", "Shift_JIS"},
        {"cp932", "Shift_JIS"},
        {"euc-jp", "EUC-JP"},
        {"utf-8", "UTF-8"},
        {"gb18030", "GB18030"},
        {"gbk", "GBK"},
        {"big5", "Big5"},
        {"cp949", "UHC"},
        {"windows-1252", "Windows-1252"},
        {"iso-8859-15", "ISO-8859-15"},
        {"ibm-037", "IBM-037"},
        {"ibm-1047", "IBM-1047"},
        {"ibm-930", "IBM-930"},
        {"IBM 939", "IBM-939"},
    };
    for (const auto &[alias, name] : names) {
        const auto encoding = EncodingCatalog::make(alias);
        ASSERT_TRUE(encoding) << alias;
        EXPECT_EQ(encoding->name(), name) << alias;
    }
    EXPECT_EQ(EncodingCatalog::make("klingon"), nullptr);
    EXPECT_EQ(EncodingCatalog::make(""), nullptr);
}

// Bytes that begin, continue or break sequences of the catalog's encodings, mixed with noise.
std::string hostileRecord(std::mt19937 &random, std::size_t length)
{
    static const int kPalette[] = {0x0E, 0x0F, 0x30, 0x40, 0x41, 0x42, 0x80, 0x81, 0x8E,
                                   0x8F, 0x90, 0x9F, 0xA1, 0xB0, 0xC1, 0xE3, 0xED, 0xF0};
    return ::hostileRecord(random, length, kPalette);
}

// Every unit start of record with the state before it, and the record's end.
std::vector<UnitStart> plainStarts(const Encoding &encoding, std::string_view record)
{
    std::vector<UnitStart> starts{{0, 0}};
    while (starts.back().offset < record.size()) {
        UnitStart next = starts.back();
        const Unit unit = encoding.unitAt(record, next.offset, next.state);
        EXPECT_TRUE(unit.length >= 1 && unit.length <= 4);
        EXPECT_LE(next.offset + unit.length, record.size());
        next.offset += std::max<std::size_t>(unit.length, 1);
        starts.push_back(next);
    }
    return starts;
}

// The ill-formed, unmapped and shift units of record, cut by unitAt() and told by glyph().
std::vector<Mark> plainMarks(const Encoding &encoding, std::string_view record)
{
    const std::vector<UnitStart> starts = plainStarts(encoding, record);
    std::vector<Mark> marks;
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        ShiftState state = starts[i].state;
        const std::size_t at = starts[i].offset;
        const Unit unit = encoding.unitAt(record, at, state);
        if (unit.kind == UnitKind::IllFormed)
            marks.push_back({at, unit.length, Mark::Kind::IllFormed});
        else if (unit.kind == UnitKind::Shift)
            marks.push_back({at, unit.length, Mark::Kind::Shift});
        else if (!encoding.glyph(record.substr(at, unit.length), starts[i].state).mapped)
            marks.push_back({at, unit.length, Mark::Kind::Unmapped});
    }
    return marks;
}

std::vector<Mark> marksOf(const Encoding &encoding, std::string_view record)
{
    std::vector<Mark> marks;
    encoding.forEachMark(record, [&](const Mark &mark) { marks.push_back(mark); });
    return marks;
}

class EveryEncoding : public testing::TestWithParam<std::string>
{};

TEST_P(EveryEncoding, AdvanceStartNearAndMarksAgreeWithAPlainCut)
{
    const auto encoding = EncodingCatalog::make(GetParam());
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const std::string record = hostileRecord(random, random() % 120);
        SCOPED_TRACE(testing::PrintToString(record));
        const std::vector<UnitStart> starts = plainStarts(*encoding, record);
        const auto firstAtOrAfter = [&](std::size_t target) {
            return *std::ranges::find_if(starts, [&](auto s) { return s.offset >= target; });
        };
        for (std::size_t i = 0; i < starts.size(); ++i) {
            for (std::size_t target = starts[i].offset; target <= record.size(); ++target)
                ASSERT_EQ(encoding->advance(record, starts[i], target), firstAtOrAfter(target))
                    << "from " << starts[i].offset << " to " << target;
        }
        for (std::size_t at = 0; at < record.size(); ++at) {
            if (const auto near = encoding->startNear(record, at)) {
                EXPECT_NE(std::ranges::find(starts, *near), starts.end()) << at;
                EXPECT_LE(near->offset, at);
                EXPECT_LE(at - near->offset, 256u);
            }
        }
        EXPECT_EQ(marksOf(*encoding, record), plainMarks(*encoding, record));
    }
}

// Every pair of bytes, each after a full stop so that it is cut from its first byte, then a
// lead byte that ends the record: the marks of a lead-byte page as its glyphs tell them.
TEST(LeadByteEncoding, MarksEveryPairAsAPlainCutAndTheGlyphsTell)
{
    std::string record;
    for (unsigned pair = 0; pair < 256 * 256; ++pair)
        record += {'.', char(pair >> 8), char(pair & 0xFF)};
    record += '\x81';
    for (const int codePage : {932, 936, 949, 950, 1252}) {
        const LeadByteEncoding encoding("", ByteClasses::forCodePage(codePage), codePage);
        EXPECT_EQ(marksOf(encoding, record), plainMarks(encoding, record)) << codePage;
    }
    const LeadByteEncoding undecoded("", ByteClasses::forCodePage(932), std::nullopt);
    EXPECT_EQ(marksOf(undecoded, record), plainMarks(undecoded, record));
}

// Texts of many blocks: runs of lead bytes across block edges, rows that map all their trail
// bytes and rows that do not, single bytes that are marked, and a lead byte at the end.
TEST(LeadByteEncoding, MarksLongTextsAsAPlainCut)
{
    static const int kPalette[] = {0x0A, 0x40, 0x7F, 0x80, 0x81, 0x82, 0x89,
                                   0x89, 0x89, 0xA0, 0xA1, 0xE0, 0xFD, 0xFE};
    std::mt19937 random(5);
    std::vector<std::string> texts;
    for (int round = 0; round < 20; ++round)
        texts.push_back(::hostileRecord(random, random() % 700, kPalette));
    for (const std::size_t run : {63, 64, 65, 127, 128, 129}) {
        texts.push_back(std::string(run, '\x89') + "\x40");
        texts.push_back("a" + std::string(run, '\x82') + "\x40");
    }
    for (const int codePage : {932, 936, 949, 950}) {
        const LeadByteEncoding encoding("", ByteClasses::forCodePage(codePage), codePage);
        for (const std::string &text : texts)
            ASSERT_EQ(marksOf(encoding, text), plainMarks(encoding, text))
                << codePage << " " << testing::PrintToString(text);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalog, EveryEncoding, testing::ValuesIn(catalogNames()),
                         encodingTestName);

} // namespace
