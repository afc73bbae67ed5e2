#include "LaidOutEncoding.h"
#include "EncodingCatalog.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Cut
{
    std::size_t offset;
    std::size_t length;
    UnitKind kind;
    std::string glyph; // of a character unit
};

// Every unit of record from its start, with what each decodes to.
std::vector<Cut> cutOf(const Encoding &encoding, std::string_view record)
{
    std::vector<Cut> cuts;
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        const ShiftState before = state;
        const Unit unit = encoding.unitAt(record, at, state);
        const std::string_view bytes = record.substr(at, unit.length);
        std::string glyph;
        if (unit.kind == UnitKind::Character)
            glyph = encoding.glyph(bytes, before).utf8;
        cuts.push_back({at, unit.length, unit.kind, glyph});
        at += unit.length;
    }
    return cuts;
}

std::string describe(const std::vector<Cut> &cuts)
{
    std::string text;
    for (const Cut &cut : cuts)
        text += std::to_string(cut.offset) + "+" + std::to_string(cut.length) +
                (cut.kind == UnitKind::Character ? "=" + cut.glyph
                 : cut.kind == UnitKind::Shift   ? " shift"
                                                 : " ill") +
                " ";
    return text;
}

// "AB", 山田 with no SO or SI, a packed 0E 0C, then "A" with a shift of its own.
const std::string kRecord = "\xC1\xC2"
                            "\x45\x65\x45\x63"
                            "\x0E\x0C"
                            "\xC1\x0E\x45\x65\x0F";
const std::vector<FieldCut> kCuts{{0, 2, FieldCut::Kind::Text},
                                  {2, 4, FieldCut::Kind::DoubleByte},
                                  {6, 2, FieldCut::Kind::Opaque},
                                  {8, 5, FieldCut::Kind::Text}};

TEST(LaidOutEncoding, CutsEachFieldByItsOwnRule)
{
    const LaidOutEncoding encoding(EncodingCatalog::make("IBM-939"), kCuts);
    const std::vector<Cut> cuts = cutOf(encoding, kRecord);
    EXPECT_EQ(describe(cuts), "0+1=A 1+1=B 2+2=山 4+2=田 6+1= 7+1=\x0C 8+1=A 9+1 shift "
                              "10+2=山 12+1 shift ");
}

TEST(LaidOutEncoding, StartsAndMarksAgreeWithTheCut)
{
    const LaidOutEncoding encoding(EncodingCatalog::make("IBM-939"), kCuts);
    const std::vector<Cut> cuts = cutOf(encoding, kRecord);
    // From the record's start to every target: the first unit start at or after it.
    for (std::size_t target = 0; target <= kRecord.size(); ++target) {
        const UnitStart start = encoding.advance(kRecord, {0, 0}, target);
        const auto expected =
            std::ranges::find_if(cuts, [target](const Cut &cut) { return cut.offset >= target; });
        EXPECT_EQ(start.offset, expected == cuts.end() ? kRecord.size() : expected->offset)
            << target;
        if (const std::optional<UnitStart> near = encoding.startNear(kRecord, target);
            near && target < kRecord.size()) {
            EXPECT_LE(near->offset, target);
            EXPECT_TRUE(std::ranges::any_of(cuts, [&](const Cut &cut) {
                return cut.offset == near->offset;
            })) << target;
        }
    }
    std::vector<Mark> marks;
    encoding.forEachMark(kRecord, [&marks](const Mark &mark) { marks.push_back(mark); });
    const std::vector<Mark> expected{{9, 1, Mark::Kind::Shift}, {12, 1, Mark::Kind::Shift}};
    EXPECT_EQ(marks, expected);
}

TEST(LaidOutEncoding, DoubleByteFieldsAreCutInPairsWhateverTheyHold)
{
    const std::vector<FieldCut> cuts{{0, 3, FieldCut::Kind::DoubleByte},
                                     {3, 2, FieldCut::Kind::DoubleByte}};
    const LaidOutEncoding encoding(EncodingCatalog::make("IBM-930"), cuts);
    const std::string record = "\x45\x65\x45\x0F\x40";
    EXPECT_EQ(describe(cutOf(encoding, record)), "0+2=山 2+1 ill 3+2 ill ");
    std::vector<Mark> marks;
    encoding.forEachMark(record, [&marks](const Mark &mark) { marks.push_back(mark); });
    const std::vector<Mark> expected{{2, 1, Mark::Kind::IllFormed}, {3, 2, Mark::Kind::IllFormed}};
    EXPECT_EQ(marks, expected);
}

TEST(LaidOutEncoding, OutsideTheEbcdicPagesDoubleByteFieldsKeepTheEncodingsRules)
{
    // Shift-JIS: 山 is 8E 52; a packed byte 82 no longer swallows the next field's first byte.
    const std::vector<FieldCut> cuts{{0, 2, FieldCut::Kind::DoubleByte},
                                     {2, 1, FieldCut::Kind::Opaque},
                                     {3, 1, FieldCut::Kind::Text}};
    const LaidOutEncoding encoding(EncodingCatalog::make("Shift_JIS"), cuts);
    EXPECT_EQ(describe(cutOf(encoding, "\x8E\x52\x82\x41")), "0+2=山 2+1= 3+1=A ");
}

} // namespace
