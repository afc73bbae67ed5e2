#include "DumpCells.h"

#include "ByteClasses.h"
#include "CodePageDecoder.h"
#include "RecordDump.h"

#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <numeric>
#include <string>

namespace {

Record recordOf(std::string bytes)
{
    auto file = std::make_shared<const std::string>(std::move(bytes));
    return {file, *file};
}

RecordDump dumpOf(std::string bytes)
{
    return RecordDump(recordOf(std::move(bytes)), ByteClasses::forCodePage(932),
                      {"p", RecordDump::lengthLabel(0), 1, RecordDump::countLabel(1)});
}

std::string textOf(const std::vector<DumpCell> &cells)
{
    std::string text;
    for (const DumpCell &cell : cells)
        text += cell.text;
    return text;
}

int columnsOf(const std::vector<DumpCell> &cells)
{
    return std::accumulate(cells.begin(), cells.end(), 0,
                           [](int sum, const DumpCell &cell) { return sum + cell.width; });
}

constexpr std::size_t kFirstCharacterRow = 5;
constexpr std::size_t kRowsPerBlock = 5;

class DumpCellsTest : public testing::Test
{
protected:
    CodePageDecoder m_decoder{932};
    DumpCells m_cells{m_decoder};
};

TEST_F(DumpCellsTest, DecodesACharacterRowOneCellPerByte)
{
    const RecordDump dump = dumpOf("Hi\t\x8A\xBF\xB6!");

    const std::vector<DumpCell> cells = m_cells.line(dump, kFirstCharacterRow);

    EXPECT_EQ(textOf(cells), "000000|Hi.漢ｶ!");
    EXPECT_EQ(cells[10], (DumpCell{"漢", 2}));
    EXPECT_EQ(cells[11], (DumpCell{"ｶ", 1}));
    EXPECT_EQ(columnsOf(cells), 7 + 7);
}

TEST_F(DumpCellsTest, KeepsACharacterSplitAtTheRowEndInItsColumns)
{
    const RecordDump dump = dumpOf(std::string(99, 'A') + "\x8A\xBFZ");

    const std::vector<DumpCell> first = m_cells.line(dump, kFirstCharacterRow);
    const std::vector<DumpCell> second = m_cells.line(dump, kFirstCharacterRow + kRowsPerBlock);

    EXPECT_EQ(first.back(), (DumpCell{"漢", 2}));
    EXPECT_EQ(columnsOf(first), 7 + 101);
    EXPECT_EQ(textOf(second), "000100| Z");
}

TEST_F(DumpCellsTest, ShowsBytesThatDecodeToNothingAsReplacementsOfTheirWidth)
{
    const RecordDump leadThenTab = dumpOf("\x81\x09");
    const RecordDump lastByteLead = dumpOf("A\x8A");

    const std::vector<DumpCell> pair = m_cells.line(leadThenTab, kFirstCharacterRow);
    const std::vector<DumpCell> lone = m_cells.line(lastByteLead, kFirstCharacterRow);

    EXPECT_EQ(pair.back(), (DumpCell{"\uFFFD", 2}));
    EXPECT_EQ(lone.back(), (DumpCell{"\uFFFD", 1}));
}

TEST_F(DumpCellsTest, GivesTheOtherLinesAsTheyAre)
{
    const RecordDump dump = dumpOf("\x8A\xBF");

    EXPECT_EQ(textOf(m_cells.line(dump, 0)), ": p");
    EXPECT_EQ(textOf(m_cells.line(dump, kFirstCharacterRow + 2)), "      |8B");
    EXPECT_TRUE(m_cells.line(dump, kFirstCharacterRow + 4).empty());
}

struct WidthRow
{
    const char *name;
    std::string utf8;
    std::vector<DumpCell> cells;

    friend void PrintTo(const WidthRow &row, std::ostream *out) { *out << row.name; }
};

class TextRowWidths : public testing::TestWithParam<WidthRow>
{};

TEST_P(TextRowWidths, TakeTheWidthsOfTheCodePage)
{
    EXPECT_EQ(DumpCells::textRow(GetParam().utf8), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextRowWidths,
    testing::Values(WidthRow{"Ascii", "a:", {{"a", 1}, {":", 1}}},
                    WidthRow{"Kanji", "/漢", {{"/", 1}, {"漢", 2}}},
                    WidthRow{"HalfWidthKatakana", "ｶ", {{"ｶ", 1}}},
                    WidthRow{"Latin", "é", {{"é", 1}}},
                    WidthRow{"BrokenSequence", "\xE6\x41", {{"\uFFFD", 1}, {"A", 1}}},
                    WidthRow{"CutSequence", "\xE6\xBC", {{"\uFFFD", 1}, {"\uFFFD", 1}}}),
    [](const testing::TestParamInfo<WidthRow> &info) { return info.param.name; });

} // namespace
