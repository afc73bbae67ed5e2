#include "Layout.h"
#include "Copybook.h"
#include "CopybookError.h"

#include <gtest/gtest.h>

namespace {

struct Expected
{
    std::string name; // with its occurrence, "ROW(2)"
    std::uint32_t offset;
    std::uint32_t length;
};

std::string nameOf(const Placement &placement)
{
    std::string name = placement.item->name.empty() ? "-" : placement.item->name;
    if (placement.occurrence)
        name += "(" + std::to_string(placement.occurrence) + ")";
    return name + (placement.kind == Placement::Kind::Table ? "[]" : "");
}

// Each named placement of placements in order, as "NAME OFFSET LENGTH".
std::vector<std::string> listed(const std::vector<Placement> &placements)
{
    std::vector<std::string> lines;
    for (const Placement &placement : placements)
        lines.push_back(nameOf(placement) + " " + std::to_string(placement.offset) + " " +
                        std::to_string(placement.length));
    return lines;
}

std::vector<std::string> lines(const std::vector<Expected> &expected)
{
    std::vector<std::string> result;
    for (const Expected &e : expected)
        result.push_back(e.name + " " + std::to_string(e.offset) + " " + std::to_string(e.length));
    return result;
}

// Counters in these tests are one ASCII digit.
std::optional<std::int64_t> digitCounter(std::string_view bytes, const Item &)
{
    if (bytes.size() != 1 || bytes[0] < '0' || bytes[0] > '9')
        return std::nullopt;
    return bytes[0] - '0';
}

struct Laid
{
    Copybook copybook;
    Layout layout;

    explicit Laid(const std::string &text)
        : copybook(Copybook::parse(text, CopybookReader::Format::Free)), layout(copybook.record(""))
    {}
};

} // namespace

TEST(Layout, NestedDependingOnFollowsEachRecordsCounters)
{
    const Laid laid(R"(
        01 REC.
           05 N-OUTER PIC 9.
           05 OUTER OCCURS 1 TO 3 DEPENDING ON N-OUTER.
              10 N-INNER PIC 9.
              10 INNER PIC XX OCCURS 0 TO 2 DEPENDING ON N-INNER OF OUTER.
           05 TAIL PIC X(3).)");
    std::vector<Placement> placed;

    laid.layout.place("2"
                      "1AA"
                      "2BBCC"
                      "XYZ",
                      digitCounter, placed);

    // Largest: an OUTER is 1 + 2 * 2 = 5 bytes, three of them 15 from offset 1; TAIL at 16.
    EXPECT_EQ(laid.layout.largestLength(), 19u);
    EXPECT_TRUE(laid.layout.variable());
    // This record: OUTER(1) holds one INNER (3 bytes from 1), OUTER(2) two (5 bytes from 4).
    EXPECT_EQ(listed(placed), lines({{"REC", 0, 12},
                                     {"N-OUTER", 0, 1},
                                     {"OUTER[]", 1, 8},
                                     {"OUTER(1)", 1, 3},
                                     {"N-INNER", 1, 1},
                                     {"INNER[]", 2, 2},
                                     {"INNER(1)", 2, 2},
                                     {"OUTER(2)", 4, 5},
                                     {"N-INNER", 4, 1},
                                     {"INNER[]", 5, 4},
                                     {"INNER(1)", 5, 2},
                                     {"INNER(2)", 7, 2},
                                     {"TAIL", 9, 3}}));
}

TEST(Layout, CounterOutOfRangeIsClampedAndMarked)
{
    const Laid laid("01 R. 05 N PIC 9. 05 T PIC X OCCURS 1 TO 3 DEPENDING ON N. 05 E PIC X.");
    std::vector<Placement> placed;

    laid.layout.place("7ABCE", digitCounter, placed);

    // Clamped to 3: T takes 1 to 3, E is at 4.
    EXPECT_TRUE(placed[1].counterOutOfRange);
    EXPECT_EQ(placed.back().offset, 4u);
    laid.layout.place("0AE", digitCounter, placed);
    EXPECT_TRUE(placed[1].counterOutOfRange);
    EXPECT_EQ(placed.back().offset, 2u); // at least one
    laid.layout.place("2AE", digitCounter, placed);
    EXPECT_FALSE(placed[1].counterOutOfRange);
    EXPECT_EQ(placed.back().offset, 3u);
}

TEST(Layout, ACounterInATableWithNoOccurrenceCountsItsLeast)
{
    const Laid laid("01 R. 05 N PIC 9. 05 T OCCURS 0 TO 2 DEPENDING ON N. 10 C PIC 9. "
                    "05 U PIC X OCCURS 1 TO 3 DEPENDING ON C. 05 E PIC X.");
    std::vector<Placement> placed;

    laid.layout.place("0UE", digitCounter, placed);

    // No T, so no C: one U at 1, E at 2.
    EXPECT_EQ(placed.back().offset, 2u);
    EXPECT_FALSE(placed.back().counterOutOfRange);
}

TEST(Layout, RedefinesOfAGroupShareItsBytes)
{
    const Laid laid(R"(
        01 REC.
           05 KIND PIC X.
           05 BODY.
              10 A PIC X(4).
              10 B PIC X(2).
           05 ALT REDEFINES BODY.
              10 C PIC 9(3).
              10 D PIC X(3).
           05 WIDE REDEFINES BODY PIC X(8).
           05 LAST PIC X.)");

    // BODY is 6 bytes from 1; ALT lies over it; WIDE runs on 2 bytes past it, so LAST is at 9.
    EXPECT_EQ(listed(laid.layout.largest()), lines({{"REC", 0, 10},
                                                    {"KIND", 0, 1},
                                                    {"BODY", 1, 6},
                                                    {"A", 1, 4},
                                                    {"B", 5, 2},
                                                    {"ALT", 1, 6},
                                                    {"C", 1, 3},
                                                    {"D", 4, 3},
                                                    {"WIDE", 1, 8},
                                                    {"LAST", 9, 1}}));
    const auto &children = laid.copybook.record("").children;
    EXPECT_TRUE(laid.layout.standsAlone(*children[0]));
    EXPECT_FALSE(laid.layout.standsAlone(*children[1]->children[0]));
    EXPECT_FALSE(laid.layout.standsAlone(*children[2]));
    EXPECT_TRUE(laid.layout.standsAlone(*children[4]));
}

TEST(Layout, SyncItemsGetSlackBytesWithinAndBetweenOccurrences)
{
    const Laid laid(R"(
        01 WORK-RECORD.
           05 WORK-CODE PIC X.
           05 COMP-TABLE OCCURS 2 TIMES.
              10 COMP-TYPE PIC X.
              10 COMP-PAY PIC S9(4)V99 COMP SYNC.
              10 COMP-HOURS PIC S9(3) COMP SYNC.
              10 COMP-NAME PIC X(5).
           05 A-3 PIC X(3).
           05 B-1 PIC S9999 COMP SYNC.
           05 B-2 PIC S99999 COMP SYNC.
           05 B-3 PIC S9(10) BINARY SYNCHRONIZED.
           05 F-1 COMP-2 SYNC.)");

    // COMP-TYPE at 1, two slack bytes, COMP-PAY at 4 (4 bytes), COMP-HOURS at 8 (2),
    // COMP-NAME at 10 (5), ends at 15: two slack bytes make each occurrence 16.
    // After the table (1 + 32 = 33): A-3 33 to 36, B-1 at 36, B-2 at 40, B-3 at 48, F-1 at 56.
    EXPECT_EQ(listed(laid.layout.largest()), lines({{"WORK-RECORD", 0, 64},
                                                    {"WORK-CODE", 0, 1},
                                                    {"COMP-TABLE[]", 1, 32},
                                                    {"COMP-TABLE(1)", 1, 16},
                                                    {"COMP-TYPE", 1, 1},
                                                    {"COMP-PAY", 4, 4},
                                                    {"COMP-HOURS", 8, 2},
                                                    {"COMP-NAME", 10, 5},
                                                    {"COMP-TABLE(2)", 17, 16},
                                                    {"COMP-TYPE", 17, 1},
                                                    {"COMP-PAY", 20, 4},
                                                    {"COMP-HOURS", 24, 2},
                                                    {"COMP-NAME", 26, 5},
                                                    {"A-3", 33, 3},
                                                    {"B-1", 36, 2},
                                                    {"B-2", 40, 4},
                                                    {"B-3", 48, 8},
                                                    {"F-1", 56, 8}}));
}

TEST(Layout, RenamesSpansFromTheFirstItemThroughTheLast)
{
    const Laid laid(R"(
        01 REC.
           05 A PIC X(2).
           05 G.
              10 B PIC X(3).
              10 C PIC X(4).
        66 AB RENAMES A THRU B.
        66 AG RENAMES A THROUGH G.
        66 JUST-C RENAMES C.)");

    // A 0-2, G 2-9 (B 2-5, C 5-9); AB 0-5, AG 0-9, JUST-C 5-9.
    const std::vector<std::string> all = listed(laid.layout.largest());
    EXPECT_EQ(std::vector<std::string>(all.end() - 3, all.end()),
              lines({{"AB", 0, 5}, {"AG", 0, 9}, {"JUST-C", 5, 4}}));
}

TEST(Layout, ElementLengthsFollowTheUsage)
{
    struct Case
    {
        std::string entry;
        std::uint64_t length;
    } cases[] = {
        {"PIC S9(7)V99 COMP-3", 5},
        {"PIC 9(2) PACKED-DECIMAL", 2},
        {"PIC 9(4) COMP", 2},
        {"PIC 9(5) COMP-5", 4},
        {"PIC S9(18) BINARY", 8},
        {"PIC 9(19) COMP", 9},
        {"PIC 9(20) COMP", 9},
        {"PIC 9(22) COMP", 10},
        {"PIC 9(37) COMP", 16},
        {"PIC 9(38) COMP", 16},
        {"PIC S9(3) SIGN TRAILING SEPARATE", 4},
        {"PIC G(3)", 6},
        {"PIC N(3) NATIONAL", 6},
        {"PIC 9(4) COMP-X", 2},
        {"PIC 9(5) COMP-X", 3},
        {"PIC X(3) COMP-X", 3},
        {"COMP-1", 4},
        {"COMP-2", 8},
        {"POINTER", 4},
        {"INDEX", 4},
        {"PIC $$,$$9.99CR", 11},
    };
    for (const Case &c : cases) {
        const Laid laid("01 R " + c.entry + ".");

        EXPECT_EQ(laid.layout.largestLength(), c.length) << c.entry;
    }
}

TEST(Layout, NamesThatDoNotResolveAreFaults)
{
    struct Case
    {
        std::string text;
        std::string message;
    } cases[] = {
        {"01 R. 05 T PIC X OCCURS 1 TO 2 DEPENDING ON NONE.", "T: no item NONE"},
        {"01 R. 05 T PIC X OCCURS 1 TO 2 DEPENDING ON N. 05 N PIC 9.", "must come before"},
        {"01 R. 05 G. 10 N PIC 9. 05 H. 10 N PIC 9. 05 T PIC X OCCURS 1 TO 2 DEPENDING ON N.",
         "N is not unique"},
        {"01 R. 05 A REDEFINES B PIC X. 05 B PIC X.", "no item B before it"},
        {"01 R. 05 N PIC 9. 05 T PIC X OCCURS 0 TO 2 DEPENDING ON N. 05 A REDEFINES T PIC X.",
         "REDEFINES of a table"},
        {"01 R. 05 T OCCURS 2. 10 A PIC X. 66 X RENAMES A.", "RENAMES of an item in a table"},
        {"01 R. 05 T OCCURS 9999. 10 U OCCURS 9999 PIC X.", "more than 4000000"},
        {"01 R. 05 T OCCURS 99999 PIC X(99999).", "longer than 2147483647"},
    };
    for (const Case &c : cases) {
        try {
            Laid laid(c.text);
            ADD_FAILURE() << c.text;
        } catch (const CopybookError &error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}
