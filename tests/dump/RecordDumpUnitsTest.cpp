#include "Bytes.h"
#include "EncodingCatalog.h"
#include "RecordDump.h"
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

void PrintTo(const RecordDump::RowUnit &unit, std::ostream *out)
{
    *out << unit.offset << '+' << int(unit.length) << (unit.continued ? "c" : "") << " kind "
         << int(unit.kind) << " state " << int(unit.state);
}

namespace {

DumpHeader headerOf(std::string_view record)
{
    return {"/data/f.txt", RecordDump::lengthLabel(record.size()), 1, RecordDump::countLabel(1)};
}

RecordDump dumpOf(const std::string &bytes, std::shared_ptr<const Encoding> encoding)
{
    auto file = std::make_shared<const std::string>(bytes);
    return RecordDump({file, *file}, std::move(encoding), headerOf(bytes));
}

std::vector<std::string> characterRows(const RecordDump &dump)
{
    std::vector<std::string> rows;
    for (std::size_t block = 0; block < dump.blockCount(); ++block)
        rows.push_back(dump.line(RecordDump::firstLineOfBlock(block)));
    return rows;
}

struct RowsCase
{
    std::string name;
    const char *encoding;
    std::string record;
    std::vector<std::string> rows;
};

void PrintTo(const RowsCase &row, std::ostream *out)
{
    *out << row.name;
}

class RecordDumpUnitRows : public testing::TestWithParam<RowsCase>
{};

TEST_P(RecordDumpUnitRows, UnitsStandWholeWhereTheyBegin)
{
    const RecordDump dump = dumpOf(GetParam().record, EncodingCatalog::make(GetParam().encoding));

    EXPECT_EQ(characterRows(dump), GetParam().rows);
}

std::string times(std::size_t count, char c)
{
    return std::string(count, c);
}

const std::string kEbcdicA(99, char(0xC1));

const RowsCase kRowsCases[] = {
    {"Utf8ThreeBytesAtColumns99To101",
     "UTF-8",
     times(98, 'a') + bytes({0xE3, 0x81, 0x82}) + "b",
     {"000000|" + times(98, 'a') + bytes({0xE3, 0x81, 0x82}), "000100| b"}},
    {"Utf8FourBytesAtColumn100",
     "UTF-8",
     times(99, 'a') + bytes({0xF0, 0x9F, 0x98, 0x80}) + "b",
     {"000000|" + times(99, 'a') + bytes({0xF0, 0x9F, 0x98, 0x80}), "000100|   b"}},
    {"Utf8IllFormedAtColumn100",
     "UTF-8",
     times(99, 'a') + bytes({0xF0, 0x9F, 0x98}) + "b",
     {"000000|" + times(99, 'a') + "...", "000100|  b"}},
    {"Utf8IllFormedAreDots",
     "UTF-8",
     bytes({'a', 0xC0, 0x80, 0xED, 0xA0, 0x80, 0xF5, 0x80}),
     {"000000|a......."}},
    {"Utf8CutOffAtEnd", "UTF-8", bytes({'a', 0xE3, 0x81}), {"000000|a.."}},
    {"Utf8LoneContinuation", "UTF-8", bytes({0x80}), {"000000|."}},
    {"Utf8UnprintableCharacters",
     "UTF-8",
     bytes({0xC2, 0x85, 0xE2, 0x80, 0x8B, 0x09, 'x'}),
     {"000000|......x"}},
    {"EucJpKatakanaAtColumn100",
     "EUC-JP",
     times(99, 'a') + bytes({0x8E, 0xB1}) + "b",
     {"000000|" + times(99, 'a') + bytes({0x8E, 0xB1}), "000100| b"}},
    {"EucJpSupplementAtColumn99",
     "EUC-JP",
     times(98, 'a') + bytes({0x8F, 0xB0, 0xA1}) + "b",
     {"000000|" + times(98, 'a') + bytes({0x8F, 0xB0, 0xA1}), "000100| b"}},
    {"EucJpSupplementBrokenInNextBlock",
     "EUC-JP",
     times(98, 'a') + bytes({0x8F, 0xB0, 'A'}),
     {"000000|" + times(98, 'a') + "..", "000100|A"}},
    {"Gb18030FourBytes",
     "GB18030",
     times(97, 'a') + bytes({0x90, 0x30, 0x81, 0x30, 0x81, 0x30, 0x81, 0x30}),
     {"000000|" + times(97, 'a') + bytes({0x90, 0x30, 0x81, 0x30}), "000100| ...."}},
    {"Ebcdic930CharacterAcrossBoundary",
     "IBM-930",
     times(98, char(0xC1)) + bytes({0x0E, 0x42, 0xC1, 0x0F, 0xC1}),
     {"000000|" + times(98, char(0xC1)) + bytes({'.', 0x42, 0xC1}), "000100| .\xC1"}},
    // 42 42 would be printable as two single bytes: dots show that the shift carried over.
    {"Ebcdic930ShiftCarriesIntoNextBlock",
     "IBM-930",
     kEbcdicA + bytes({0x0E, 0x42, 0x42, 0x0F, 0x42}),
     {"000000|" + kEbcdicA + ".", "000100|...\x42"}},
    {"ShiftJisLeadAtColumn100",
     "Shift_JIS",
     times(99, 'a') + bytes({0x82, 0xA0, 0x81}),
     {"000000|" + times(99, 'a') + bytes({0x82, 0xA0}), "000100| \x81"}},
    {"ShiftJisIllFormedShownAsBytes",
     "Shift_JIS",
     bytes({0x81, 0x09, 0x80, 0x81}),
     {"000000|\x81\x09.\x81"}},
};

INSTANTIATE_TEST_SUITE_P(Blocks, RecordDumpUnitRows, testing::ValuesIn(kRowsCases),
                         rowName<RowsCase>);

TEST(RecordDumpUnits, MarksOfAUnitAcrossABoundaryAreInBothBlocks)
{
    const RecordDump dump = dumpOf(times(98, char(0xC1)) + bytes({0x0E, 0x42, 0x42, 0x0F}),
                                   EncodingCatalog::make("IBM-930"));

    EXPECT_EQ(dump.marksOfBlock(0),
              (std::vector<Mark>{{98, 1, Mark::Kind::Shift}, {99, 2, Mark::Kind::Unmapped}}));
    EXPECT_EQ(dump.marksOfBlock(1),
              (std::vector<Mark>{{99, 2, Mark::Kind::Unmapped}, {101, 1, Mark::Kind::Shift}}));
    EXPECT_EQ(dump.unitHolding(100), (RecordDump::RowUnit{99, 2, false, UnitKind::Character, 1}));
}

// Bytes that begin, continue or break sequences of the catalog's encodings, mixed with noise
// and with runs of plain letters, so that units fall at every column.
std::string hostileRecord(std::mt19937 &random, std::size_t length)
{
    static const int kPalette[] = {0x0E, 0x0F, 0x30, 0x40, 0x41, 0x42, 0x80, 0x81, 0x8E, 0x8F,
                                   0x90, 0x9F, 0xA1, 0xB0, 0xC1, 0xE3, 0xED, 0xF0, 'a'};
    return ::hostileRecord(random, length, kPalette);
}

// The character rows and row units as the rules tell them, cut one unit at a time from the
// record's first byte.
struct Reference
{
    std::vector<std::string> rows;
    std::vector<std::vector<RecordDump::RowUnit>> units;
    std::vector<RecordDump::RowUnit> holders; // per byte
};

Reference referenceOf(const Encoding &encoding, std::string_view record)
{
    const ByteClasses *lead = encoding.leadByteClasses();
    const auto shown = [&](std::string_view unit, UnitKind kind, ShiftState state) {
        if (!lead)
            return kind == UnitKind::Character && encoding.glyph(unit, state).printable();
        const auto byte = std::uint8_t(unit[0]);
        return unit.size() == 2 || (lead->multibyte() && lead->inLeadSet(byte)) ||
               (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
    };
    Reference reference;
    const std::size_t blocks = (record.size() + 99) / 100;
    reference.units.resize(blocks);
    for (std::size_t block = 0; block < blocks; ++block)
        reference.rows.push_back(RecordDump::offsetField(block));
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        const ShiftState before = state;
        const Unit unit = encoding.unitAt(record, at, state);
        const std::string_view bytes = record.substr(at, unit.length);
        const std::size_t block = at / 100;
        reference.rows[block] +=
            shown(bytes, unit.kind, before) ? std::string(bytes) : times(unit.length, '.');
        reference.units[block].push_back({at, unit.length, false, unit.kind, before});
        for (std::size_t i = at; i < at + unit.length; ++i) {
            reference.holders.push_back({at, unit.length, false, unit.kind, before});
            if (i / 100 != block) {
                reference.rows[i / 100] += ' ';
                reference.units[i / 100].push_back({i, 1, true, unit.kind, before});
            }
        }
        at += unit.length;
    }
    return reference;
}

class EveryEncoding : public testing::TestWithParam<std::string>
{};

TEST_P(EveryEncoding, DumpAgreesWithAPlainCutFromTheStart)
{
    const auto encoding = EncodingCatalog::make(GetParam());
    std::mt19937 random(11);
    for (int round = 0; round < 12; ++round) {
        const std::string record = hostileRecord(random, random() % 420);
        SCOPED_TRACE(testing::PrintToString(record));
        const RecordDump dump = dumpOf(record, encoding);
        const Reference reference = referenceOf(*encoding, record);

        std::vector<Mark> marks;
        for (std::size_t block = 0; block < dump.blockCount(); ++block) {
            const std::size_t line = RecordDump::firstLineOfBlock(block);
            EXPECT_EQ(dump.line(line), reference.rows[block]) << block;
            EXPECT_EQ(dump.rowUnits(line), reference.units[block]) << block;
            std::string joined;
            for (const std::string_view piece : dump.characters(line))
                joined += piece;
            EXPECT_EQ(joined, reference.rows[block]) << block;
            for (const Mark &mark : dump.marksOfBlock(block)) {
                if (marks.empty() || !(marks.back() == mark))
                    marks.push_back(mark);
            }
        }
        for (std::size_t at = 0; at < record.size(); ++at)
            ASSERT_EQ(dump.unitHolding(at), reference.holders[at]) << at;
        std::vector<Mark> all;
        encoding->forEachMark(record, [&](const Mark &mark) { all.push_back(mark); });
        EXPECT_EQ(marks, all);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalog, EveryEncoding, testing::ValuesIn(catalogNames()),
                         encodingTestName);

TEST(RecordDumpUnits, ShiftJisChosenByNameIsTheLeadByteDump)
{
    std::mt19937 random(3);
    for (int round = 0; round < 30; ++round) {
        auto file = std::make_shared<const std::string>(hostileRecord(random, random() % 420));
        const Record record{file, *file};

        const RecordDump chosen(record, EncodingCatalog::make("sjis"), headerOf(*file));
        const RecordDump classic(record, ByteClasses::forCodePage(932), headerOf(*file));

        ASSERT_EQ(chosen.text(), classic.text()) << testing::PrintToString(*file);
        for (std::size_t block = 0; block < chosen.blockCount(); ++block) {
            const std::size_t line = RecordDump::firstLineOfBlock(block);
            EXPECT_EQ(chosen.characters(line), classic.characters(line));
        }
    }
}

} // namespace
