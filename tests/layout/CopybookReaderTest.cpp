#include "CopybookReader.h"
#include "CopybookError.h"

#include <gtest/gtest.h>

namespace {

using Format = CopybookReader::Format;

std::string texts(const std::vector<Token> &tokens)
{
    std::string joined;
    for (const Token &token : tokens)
        joined += (joined.empty() ? "" : "|") + token.text;
    return joined;
}

} // namespace

TEST(CopybookReader, ReferenceFormatReadsOnlyColumnsEightToSeventyTwo)
{
    const std::string text = "000100 01  CUSTOMER.                                               "
                             "     SEQ00100\n"
                             "000200*    05  OLD PIC X.\n"
                             "000300D    05  DEBUG PIC X.\n"
                             "000400/\n"
                             "000500     05  NAME PIC X(30).\n";

    const std::vector<Token> tokens = CopybookReader::read(text, Format::Reference);

    EXPECT_EQ(texts(tokens), "01|CUSTOMER|.|05|NAME|PIC|X(30)|.");
    // "05" of line 5 stands in column 12.
    EXPECT_EQ(tokens[3].line, 5);
    EXPECT_EQ(tokens[3].column, 12);
}

TEST(CopybookReader, TabsExpandToEightColumns)
{
    // The tab takes columns 1 to 8, so the code starts in column 9.
    const std::vector<Token> tokens = CopybookReader::read("\t 01 A PIC X.", Format::Reference);

    ASSERT_EQ(texts(tokens), "01|A|PIC|X|.");
    EXPECT_EQ(tokens[0].column, 10);
}

TEST(CopybookReader, ContinuedLiteralKeepsItsBlanksToColumnSeventyTwo)
{
    // The literal opens in column 30 and runs to column 72: 42 characters after the quote.
    const std::string first = "       05  A PIC X(50) VALUE 'ABC";
    const std::string second = "      -    'DEF'.";

    const std::vector<Token> tokens =
        CopybookReader::read(first + "\n" + second + "\n", Format::Reference);

    ASSERT_EQ(tokens.size(), 7u);
    EXPECT_EQ(tokens[5].kind, Token::Kind::Literal);
    EXPECT_EQ(tokens[5].text, "ABC" + std::string(39, ' ') + "DEF");
}

TEST(CopybookReader, FreeFormatFromTheDirectiveOn)
{
    const std::string text = "       >>SOURCE FORMAT FREE\n"
                             "01 A. *> the record\n"
                             "*> a comment line\n"
                             "05 B PIC 9(3)V99, VALUE \"x'y\".\n";

    const std::vector<Token> tokens = CopybookReader::read(text, Format::Reference);

    EXPECT_EQ(texts(tokens), "01|A|.|05|B|PIC|9(3)V99|VALUE|x'y|.");
    EXPECT_EQ(tokens[3].column, 1);
}

TEST(CopybookReader, PseudoTextDelimitersStandAlone)
{
    const std::vector<Token> tokens =
        CopybookReader::read("COPY X REPLACING ==:P:== BY ==CUST-==.", Format::Free);

    EXPECT_EQ(texts(tokens), "COPY|X|REPLACING|==|:P:|==|BY|==|CUST-|==|.");
}

TEST(CopybookReader, FaultsNameTheirPlace)
{
    struct Case
    {
        std::string text;
        Format format;
        int line;
        int column;
        std::string message;
    } cases[] = {
        {"01 A PIC X VALUE 'open\n", Format::Free, 1, 18, "literal is not closed"},
        {"000100 01 A.\n000200X", Format::Reference, 2, 7, "unexpected 'X' in column 7"},
        {">>SOURCE FORMAT WIDE", Format::Free, 1, 1, "expected FREE or FIXED"},
        {"       05 A PIC X VALUE 'AB\n      -    CD'.", Format::Reference, 2, 12,
         "expected ' to continue"},
    };
    for (const Case &c : cases) {
        try {
            CopybookReader::read(c.text, c.format);
            ADD_FAILURE() << c.text;
        } catch (const CopybookError &error) {
            EXPECT_EQ(error.line(), c.line) << c.text;
            EXPECT_EQ(error.column(), c.column) << c.text;
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}
