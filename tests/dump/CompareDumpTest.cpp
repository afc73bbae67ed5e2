#include "CompareDump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kRuler = "------|----*----1----*----2----*----3----*----4----*----5"
                           "----*----6----*----7----*----8----*----9----*----0";

std::shared_ptr<const RecordDump> shiftJisDump(const std::string &bytes)
{
    auto file = std::make_shared<const std::string>(bytes);
    return std::make_shared<const RecordDump>(Record{file, *file}, ByteClasses::forCodePage(932),
                                              DumpHeader{});
}

CompareDump compared(const std::string &a, const std::string &b)
{
    return CompareDump(shiftJisDump(a), shiftJisDump(b), {"/data/a.txt", 2, 3},
                       {"/data/b.txt", 4, 9});
}

std::vector<std::string> linesOf(const CompareDump &dump)
{
    std::vector<std::string> lines;
    for (std::size_t line = 0; line < dump.lineCount(); ++line)
        lines.push_back(dump.line(line));
    return lines;
}

// 漢 is 8A BF; the second record changes only its trail byte.
TEST(CompareDumpTest, AKanjiChangedInItsTrailByte)
{
    const CompareDump dump = compared("ab\x8a\xbf"
                                      "c",
                                      "ab\x8a\xc0"
                                      "c");
    EXPECT_EQ(linesOf(dump), (std::vector<std::string>{
                                 ": A : /data/a.txt (0000002/0000003) Record Length : 000005",
                                 ": B : /data/b.txt (0000004/0000009) Record Length : 000005",
                                 ": 1 byte differs, first at offset 3",
                                 std::string(108, '-'),
                                 "",
                                 "000000|ab\x8a\xbf"
                                 "c",
                                 kRuler,
                                 "A     |668B6",
                                 "A     |12AF3",
                                 "B     |ab\x8a\xc0"
                                 "c",
                                 "B     |668C6",
                                 "B     |12A03",
                                 "      |   *",
                                 "",
                             }));
}

// A side without the block shows its labels alone; the other side's rows and the offsets
// stay as a single record's dump has them.
TEST(CompareDumpTest, TheShorterSideIsEmptyPastItsEnd)
{
    const std::string longer(150, 'x');
    const CompareDump dump = compared(longer, "");
    ASSERT_EQ(dump.blockCount(), 2u);
    const std::size_t second = CompareDump::firstLineOfBlock(1);
    EXPECT_EQ(dump.line(second), "000100|" + std::string(50, 'x'));
    EXPECT_EQ(
        dump.line(CompareDump::lineOf(1, CompareDump::LineKind::Characters, CompareDump::Side::B)),
        "B     |");
    EXPECT_EQ(dump.line(CompareDump::lineOf(1, CompareDump::LineKind::Markers, std::nullopt)),
              "      |" + std::string(50, '*'));
    EXPECT_EQ(dump.line(2), ": 150 bytes differ, first at offset 0");

    const CompareDump reversed = compared("", longer);
    EXPECT_EQ(reversed.line(second), "000100|");
    EXPECT_EQ(reversed.line(second + 1), kRuler);
    EXPECT_EQ(reversed.line(second + 4), "B     |" + std::string(50, 'x'));
}

TEST(CompareDumpTest, OriginsNameTheSideDumpLines)
{
    const CompareDump dump = compared(std::string(120, 'a'), std::string(120, 'b'));
    const std::size_t first = CompareDump::firstLineOfBlock(1);
    const CompareDump::Origin highB = dump.origin(first + 5);
    EXPECT_EQ(highB.kind, CompareDump::LineKind::HighDigits);
    EXPECT_EQ(highB.side, CompareDump::Side::B);
    EXPECT_EQ(highB.dump, &dump.dumpB());
    EXPECT_EQ(highB.dumpLine, RecordDump::firstLineOfBlock(1) + 2);
    EXPECT_EQ(highB.label, "B     |");
    const CompareDump::Origin charactersA = dump.origin(first);
    EXPECT_EQ(charactersA.dump, &dump.dumpA());
    EXPECT_EQ(charactersA.label, "");
    EXPECT_EQ(dump.origin(first + 7).dump, nullptr);
    EXPECT_EQ(dump.columnsOf(first + 7), (std::pair<std::uint64_t, std::uint64_t>{100, 120}));
    EXPECT_EQ(dump.columnsOf(0), std::nullopt);
    EXPECT_THROW(dump.origin(dump.lineCount()), std::out_of_range);
}

TEST(CompareDumpTest, IdenticalRecordsHaveEmptyMarkerRows)
{
    const CompareDump dump = compared("same", "same");
    EXPECT_EQ(dump.line(2), ": identical");
    EXPECT_EQ(dump.line(CompareDump::lineOf(0, CompareDump::LineKind::Markers, std::nullopt)),
              "      |");
    EXPECT_EQ(compared("", "").lineCount(), 5u);
}

} // namespace
