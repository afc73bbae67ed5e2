#include "CopybookParser.h"
#include "CopyStatements.h"
#include "Copybook.h"
#include "CopybookError.h"

#include <gtest/gtest.h>

namespace {

Copybook freeCopybook(const std::string &text)
{
    return Copybook::parse(text, CopybookReader::Format::Free);
}

// The message of the CopybookError that text raises, "" when it raises none.
std::string faultOf(const std::string &text)
{
    try {
        freeCopybook(text);
    } catch (const CopybookError &error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(CopybookParser, ClausesShapeTheItems)
{
    const Copybook copybook = freeCopybook(R"(
        01 REC USAGE COMP-3.
           05 AMOUNT PIC S9(7)V99.
           05 FLAGS.
              10 FILLER PIC X(2) DISPLAY.
              10 PIC X DISPLAY.
           05 N PIC 9(2) COMP SYNC.
           05 ROW OCCURS 1 TO 9 TIMES DEPENDING ON N OF REC
                  ASCENDING KEY IS K INDEXED BY I J.
              10 K PIC S9(3) SIGN IS LEADING SEPARATE CHARACTER.
                 88 K-ZERO VALUES ARE 0 THRU 9, 11 'A'.
           05 ALT REDEFINES ROW PIC X(4) DISPLAY JUST RIGHT BLANK WHEN ZERO VALUE SPACES
                  EXTERNAL GLOBAL.
        66 BOTH RENAMES AMOUNT THRU FLAGS.
    )");

    const Item &record = copybook.record("");
    ASSERT_EQ(record.children.size(), 6u);
    const Item &amount = *record.children[0];
    EXPECT_EQ(amount.usage, Usage::Packed); // from the group
    EXPECT_EQ(amount.picture->digits, 9);
    EXPECT_EQ(amount.picture->scale, 2);
    EXPECT_TRUE(amount.picture->isSigned);
    const Item &flags = *record.children[1];
    EXPECT_EQ(flags.children[0]->usage, Usage::Display);
    EXPECT_TRUE(flags.children[0]->isFiller());
    EXPECT_TRUE(flags.children[1]->isFiller());
    EXPECT_TRUE(record.children[2]->sync);
    const Item &row = *record.children[3];
    EXPECT_EQ(row.occursMin, 1u);
    EXPECT_EQ(row.occursMax, 9u);
    EXPECT_EQ(row.dependingOn, (std::vector<std::string>{"N", "REC"}));
    ASSERT_EQ(row.children.size(), 1u); // the 88 level is kept apart
    const std::vector<Condition> &conditions = row.children[0]->conditions;
    ASSERT_EQ(conditions.size(), 1u);
    EXPECT_EQ(conditions[0].name, "K-ZERO");
    ASSERT_EQ(conditions[0].ranges.size(), 3u);
    EXPECT_EQ(conditions[0].ranges[0].thru->text, "9");
    EXPECT_FALSE(conditions[0].ranges[1].thru);
    EXPECT_TRUE(conditions[0].ranges[2].from.literal);
    EXPECT_TRUE(row.children[0]->signLeading);
    EXPECT_TRUE(row.children[0]->signSeparate);
    EXPECT_EQ(record.children[4]->redefines, "ROW");
    EXPECT_EQ(record.children[5]->renamesFrom, "AMOUNT");
    EXPECT_EQ(record.children[5]->renamesThru, "FLAGS");
}

TEST(CopybookParser, RecordsArePickedByName)
{
    const Copybook copybook = freeCopybook("05 LOOSE PIC X. 01 HEADER PIC X(80). "
                                           "01 DETAIL. 05 D PIC 9. 77 COUNTER PIC 9(4) COMP.");

    ASSERT_EQ(copybook.records().size(), 4u);
    EXPECT_EQ(copybook.record("").children[0]->name, "LOOSE");
    EXPECT_EQ(copybook.record("detail").children.size(), 1u);
    EXPECT_EQ(copybook.record("COUNTER").usage, Usage::Binary);
    EXPECT_THROW(copybook.record("NONE"), std::invalid_argument);
}

TEST(CopybookParser, PicturesReadTheirDigitsAndScale)
{
    struct Case
    {
        std::string picture;
        Picture::Category category;
        std::uint32_t positions;
        int digits;
        int scale;
    } cases[] = {
        {"X(10)", Picture::Category::Alphanumeric, 10, 0, 0},
        {"XXB0/X", Picture::Category::Alphanumeric, 6, 0, 0},
        {"S9(3)V9(2)", Picture::Category::Numeric, 5, 5, 2},
        {"99PPP", Picture::Category::Numeric, 2, 2, -3},
        {"PPP99", Picture::Category::Numeric, 2, 2, 5},
        {"SVP9", Picture::Category::Numeric, 1, 1, 2},
        {"9(38)", Picture::Category::Numeric, 38, 38, 0},
        {"Z(6)VZZ-", Picture::Category::NumericEdited, 9, 8, 0},
        {"$$,$$9.99CR", Picture::Category::NumericEdited, 11, 6, 0},
        {"G(4)", Picture::Category::DoubleByte, 4, 0, 0},
    };
    for (const Case &c : cases) {
        const Picture picture = Picture::parse(c.picture);

        EXPECT_EQ(picture.category, c.category) << c.picture;
        EXPECT_EQ(picture.positions, c.positions) << c.picture;
        EXPECT_EQ(picture.digits, c.digits) << c.picture;
        if (c.category == Picture::Category::Numeric) {
            EXPECT_EQ(picture.scale, c.scale) << c.picture;
        }
    }
    for (const char *bad : {"9(39)", "X9V", "S9S", "9(0)", "9(", "Q", "G9", "9CX"})
        EXPECT_THROW(Picture::parse(bad), std::invalid_argument) << bad;
}

TEST(CopybookParser, FaultsNameWhatWasExpectedAndWhere)
{
    struct Case
    {
        std::string text;
        std::string message;
    } cases[] = {
        {"01 A.\n  05 B PIC X OCCURS 2 INDEXED BY.", "2:33: expected a data name"},
        {"01 A.\n  05 B PIC X COLOUR RED.", "2:14: unknown clause 'COLOUR'"},
        {"01 A.\n  05 B.", "2:3: B: an elementary item needs a PICTURE"},
        {"01 A.\n  05 B PIC X.\n    10 C PIC X.", "2:3: B: a group has no PICTURE"},
        {"01 A.\n 05 B PIC X COMP-3.", "2:2: B: binary and packed items need a numeric"},
        {"01 A.\n 05 B PIC 9 OCCURS 1 TO 3.", "2:13: OCCURS m TO n goes with DEPENDING ON"},
        {"01 A.\n 50 B PIC X.", "2:2: expected a level number from 01 to 49"},
        {"88 A VALUE 1.", "1:4: expected a data item before the 88 level"},
        {"01 A PIC", "1:6: expected a PICTURE string before the end"},
        {"01 A. 05 B PIC X OCCURS", "1:18: expected a whole number before the end"},
        {"01 A. 05 B PIC 9(2)Q.", "1:16: 'Q' in PICTURE"},
        {"01 A. 05 B PIC X. COPY C.", "1:24: no member 'C' to COPY"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(faultOf(c.text).substr(0, c.message.size()), c.message) << c.text;
}

TEST(CopyStatements, MembersComeInWithTheirReplacements)
{
    const CopyStatements::Loader load = [](const Token &name) {
        if (name.text == "ADDR")
            return CopybookReader::read("05 :P:-STREET PIC X(20). 05 CITY PIC X(10). "
                                        "COPY ZIP.",
                                        CopybookReader::Format::Free);
        return CopybookReader::read("05 ZIP-CODE PIC 9(5).", CopybookReader::Format::Free);
    };
    const std::vector<Token> tokens = CopybookReader::read(
        "01 R. COPY ADDR REPLACING ==:P:== BY ==HOME== ==PIC X(10)== BY ==PIC X(12)== "
        "LEADING ==ZIP== BY ==POST==.",
        CopybookReader::Format::Free);

    const std::vector<Token> expanded = CopyStatements::expand(tokens, load);

    std::string joined;
    for (const Token &token : expanded)
        joined += token.text + " ";
    EXPECT_EQ(joined, "01 R . 05 HOME-STREET PIC X(20) . 05 CITY PIC X(12) . "
                      "05 POST-CODE PIC 9(5) . ");
}

TEST(CopyStatements, AMemberThatCopiesItselfIsAFault)
{
    const CopyStatements::Loader load = [](const Token &) {
        return CopybookReader::read("COPY SELF. COPY SELF.", CopybookReader::Format::Free);
    };

    EXPECT_THROW(CopyStatements::expand(load(Token{}), load), CopybookError);
}
