#include "RecordFields.h"
#include "Copybook.h"
#include "EncodingCatalog.h"
#include "FieldAlternatives.h"
#include "FieldComparison.h"
#include "FieldDecoder.h"
#include "Layout.h"

#include <gtest/gtest.h>

namespace {

using State = FieldRow::State;

class RecordFieldsTest : public testing::Test
{
protected:
    RecordFieldsTest()
        : m_copybook(Copybook::parse(R"(
              01 REC.
                 05 KIND PIC X.
                    88 IS-A VALUE 'A'.
                    88 A-OR-B VALUE 'A' THRU 'B'.
                    88 IS-BLANK VALUE SPACE.
                 05 AMOUNT PIC S9(3)V99 COMP-3.
                    88 LARGE VALUE 100 THRU 999.99.
                 05 BODY PIC X(4).
                 05 NUMS REDEFINES BODY.
                    10 N PIC 99 OCCURS 2.
                 05 TALLY PIC 9.
                    88 NONE VALUE ZERO.
                    88 SOME VALUES 1 THRU 9.)",
                                     CopybookReader::Format::Free)),
          m_layout(m_copybook.record("")), m_decoder(EncodingCatalog::make("ISO-8859-1"), {}),
          m_alternatives(m_layout)
    {}

    RecordFields fields(std::string_view record) const
    {
        return RecordFields(m_layout, m_decoder, record, m_alternatives);
    }

    // The names of the standing rows, in order.
    static std::vector<std::string> standingNames(const RecordFields &fields)
    {
        std::vector<std::string> names;
        for (const std::size_t at : fields.standing())
            names.push_back(fields.rows()[at].name);
        return names;
    }

    Copybook m_copybook;
    Layout m_layout;
    FieldDecoder m_decoder;
    FieldAlternatives m_alternatives;
};

const std::string kRecord = std::string("A") + "\x12\x34\x5C" + "0102" + "3";

TEST_F(RecordFieldsTest, RowsNameEveryItemWhereItLiesWithItsValue)
{
    const RecordFields record = fields(kRecord);
    struct Expected
    {
        std::string name;
        std::size_t parent;
        std::uint64_t offset;
        std::uint64_t length;
        std::string picture;
        std::string hex;
        std::string value;
    };
    const std::size_t none = FieldRow::kNoParent;
    const std::vector<Expected> expected{
        {"REC", none, 0, 9, "", "4112345C3031303233", ""},
        {"KIND", 0, 0, 1, "X", "41", "A (IS-A, A-OR-B)"},
        {"AMOUNT", 0, 1, 3, "S9(3)V99 COMP-3", "12345C", "123.45 (LARGE)"},
        {"BODY", 0, 4, 4, "X(4)", "30313032", "0102"},
        {"NUMS", 0, 4, 4, "", "30313032", ""},
        {"N", 4, 4, 4, "OCCURS 2", "30313032", ""},
        {"N(1)", 5, 4, 2, "99", "3031", "1"},
        {"N(2)", 5, 6, 2, "99", "3032", "2"},
        {"TALLY", 0, 8, 1, "9", "33", "3 (SOME)"},
    };
    ASSERT_EQ(record.rows().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FieldRow &row = record.rows()[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.name, expected[i].name);
        EXPECT_EQ(row.parent, expected[i].parent);
        EXPECT_EQ(row.offset, expected[i].offset);
        EXPECT_EQ(row.length, expected[i].length);
        EXPECT_EQ(row.picture, expected[i].picture);
        EXPECT_EQ(row.hex, expected[i].hex.substr(0, row.length * 2));
        EXPECT_EQ(row.shownValue(), expected[i].value);
    }
}

TEST_F(RecordFieldsTest, ConditionsCompareNumbersAsNumbersAndTextWithoutTrailingBlanks)
{
    const RecordFields blank = fields(std::string(" ") + "\x09\x99\x9D" + "0102" + "0");
    EXPECT_EQ(blank.rows()[1].conditions, (std::vector<std::string>{"IS-BLANK"}));
    EXPECT_TRUE(blank.rows()[2].conditions.empty()); // -9.99 is below 100
    EXPECT_EQ(blank.rows()[8].conditions, (std::vector<std::string>{"NONE"}));
    const RecordFields edge = fields("B" + std::string("\x10\x00\x0C", 3) + "0102" + "9");
    EXPECT_EQ(edge.rows()[1].conditions, (std::vector<std::string>{"A-OR-B"}));
    EXPECT_EQ(edge.rows()[2].conditions, (std::vector<std::string>{"LARGE"})); // 100.00
}

TEST_F(RecordFieldsTest, InvalidShortAndOverlongFieldsSayWhy)
{
    const RecordFields bad = fields(std::string("A") + "\x12\x34\x53" + "01");
    EXPECT_EQ(bad.rows()[2].shownValue(), "invalid: sign");
    EXPECT_TRUE(bad.rows()[2].conditions.empty());
    EXPECT_EQ(bad.rows()[3].state, State::Absent);
    EXPECT_EQ(bad.rows()[3].hex, "3031");
    EXPECT_EQ(bad.rows()[8].shownValue(), "absent");
    EXPECT_EQ(bad.rows()[8].hex, "");
    // The part of BODY there is still standing, and painted as far as it goes.
    EXPECT_EQ(standingNames(bad), (std::vector<std::string>{"KIND", "AMOUNT", "BODY"}));
    const std::vector<FieldBand> bands = bad.bands();
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0], (FieldBand{0, 1, FieldBand::Kind::Even, "KIND"}));
    EXPECT_EQ(bands[1], (FieldBand{1, 3, FieldBand::Kind::Invalid, "AMOUNT"}));
    EXPECT_EQ(bands[2], (FieldBand{4, 2, FieldBand::Kind::Even, "BODY"}));

    const Copybook big =
        Copybook::parse("01 R. 05 HUGE PIC X(2000000).", CopybookReader::Format::Free);
    const Layout layout(big.record(""));
    const std::string record(2000000, 'x');
    const RecordFields huge(layout, m_decoder, record, FieldAlternatives(layout));
    EXPECT_EQ(huge.rows()[1].shownValue(), "2000000 bytes, too long to show");
    EXPECT_EQ(huge.rows()[1].hex.size(), 2 * RecordFields::kShownBytes + std::string("…").size());
}

TEST_F(RecordFieldsTest, TheFirstAlternativeStandsUntilAnotherIsChosen)
{
    RecordFields record = fields(kRecord);
    EXPECT_EQ(standingNames(record), (std::vector<std::string>{"KIND", "AMOUNT", "BODY", "TALLY"}));
    EXPECT_EQ(record.rowHolding(5), 3u);
    EXPECT_EQ(record.rowHolding(9), std::nullopt);

    m_alternatives.choose(*record.rows()[6].item); // N(1)
    record.stand(m_alternatives);
    EXPECT_EQ(standingNames(record),
              (std::vector<std::string>{"KIND", "AMOUNT", "N(1)", "N(2)", "TALLY"}));
    EXPECT_EQ(record.rowHolding(5), 6u);
    EXPECT_EQ(record.rowHolding(6), 7u);
    EXPECT_EQ(fields(kRecord).standing(), record.standing()); // the choice holds for others

    m_alternatives.choose(*record.rows()[3].item); // BODY again
    record.stand(m_alternatives);
    EXPECT_EQ(record.rowHolding(6), 3u);
}

TEST_F(RecordFieldsTest, CutsFollowTheUsage)
{
    const std::vector<FieldCut> cuts = fields(kRecord).cuts();
    const std::vector<FieldCut> expected{{0, 1, FieldCut::Kind::Text},
                                         {1, 3, FieldCut::Kind::Opaque},
                                         {4, 4, FieldCut::Kind::Text},
                                         {8, 1, FieldCut::Kind::Text}};
    EXPECT_EQ(cuts, expected);
}

TEST_F(RecordFieldsTest, TheShapeFollowsTheCounters)
{
    const Copybook copybook = Copybook::parse(
        "01 R. 05 C PIC 9. 05 T OCCURS 0 TO 3 DEPENDING ON C PIC X.", CopybookReader::Format::Free);
    const Layout layout(copybook.record(""));
    const FieldAlternatives alternatives(layout);
    const RecordFields two(layout, m_decoder, "2ab", alternatives);
    EXPECT_TRUE(two.sameShape(RecordFields(layout, m_decoder, "2xy", alternatives)));
    EXPECT_FALSE(two.sameShape(RecordFields(layout, m_decoder, "3xyz", alternatives)));
    EXPECT_FALSE(fields(kRecord).sameShape(two));
    // Of another shape, B's rows are found by item and name; what A has and B not differs.
    const RecordFields three(layout, m_decoder, "3ayz", alternatives);
    const FieldComparison comparison(three, "3ayz", two, "2ab");
    EXPECT_EQ(comparison.counterpart(3)->name, "T(1)");
    EXPECT_EQ(comparison.counterpart(5), nullptr); // T(3)
    EXPECT_EQ(comparison.summary(), "3 fields differ: C, T(2), T(3)");
    // A counter beyond its table: the fields say so.
    const RecordFields over(layout, m_decoder, "7abc", alternatives);
    EXPECT_EQ(over.rows()[1].shownValue(), "invalid: counter");
}

TEST_F(RecordFieldsTest, TheCursorsFieldAndTheRecordsLengthAreToldInWords)
{
    const RecordFields record = fields(kRecord);
    EXPECT_EQ(record.describeByte(2), "AMOUNT byte 2 of 3, S9(3)V99 COMP-3: 123.45 (LARGE)");
    EXPECT_EQ(record.describeByte(9), "");
    EXPECT_EQ(record.rows()[2].tabSeparated(), "05\tAMOUNT\t1\t3\tS9(3)V99 COMP-3\t12345C\t"
                                               "123.45 (LARGE)");
    EXPECT_EQ(record.rows()[0].level(), "01");
    EXPECT_EQ(record.lengthNote(9), "");
    EXPECT_EQ(record.lengthNote(10), "The record is 1 byte shorter than the layout (10 bytes)");
    EXPECT_EQ(record.lengthNote(5), "The record has 4 bytes past the layout (5 bytes)");
}

TEST_F(RecordFieldsTest, ComparesNameTheStandingFieldsThatDiffer)
{
    const std::string other = std::string("A") + "\x12\x34\x5D" + "0109" + "3";
    const RecordFields a = fields(kRecord);
    const FieldComparison comparison(a, kRecord, fields(other), other);
    EXPECT_EQ(comparison.differing(), (std::vector<std::size_t>{2, 3})); // AMOUNT, BODY
    EXPECT_EQ(comparison.summary(), "2 fields differ: AMOUNT, BODY");
    EXPECT_EQ(comparison.step(0, false), 2u);
    EXPECT_EQ(comparison.step(2, false), 3u); // from inside AMOUNT
    EXPECT_EQ(comparison.step(5, false), std::nullopt);
    EXPECT_EQ(comparison.step(5, true), 2u); // from inside BODY
    EXPECT_EQ(comparison.step(1, true), std::nullopt);
    EXPECT_EQ(FieldComparison(a, kRecord, a, kRecord).summary(), "No field differs");
    // A shorter B lacks TALLY whole; every field differing is counted, the first few named.
    const std::string shorter = "Bxxx" + std::string(4, 'y');
    EXPECT_EQ(FieldComparison(a, kRecord, fields(shorter), shorter).summary(),
              "4 fields differ: KIND, AMOUNT, BODY, TALLY");
}

} // namespace
