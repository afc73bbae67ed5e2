#include "JsonLinesWriter.h"
#include "Copybook.h"
#include "EncodingCatalog.h"

#include <gtest/gtest.h>

namespace {

class JsonLines : public testing::Test
{
protected:
    JsonLines()
        : m_copybook(Copybook::parse(R"(
              01 REC.
                 05 ID PIC 9(3).
                 05 NAME PIC X(6).
                 05 FILLER PIC X(2).
                 05 N PIC 9.
                 05 ITEMS OCCURS 0 TO 3 DEPENDING ON N.
                    10 QTY PIC S9(2).
                    10 CODE PIC X.
                 05 KIND PIC X.
                    88 IS-A VALUE 'A'.
                 05 BODY PIC X(4).
                 05 NUM REDEFINES BODY PIC 9(4).
              66 ALL-ID RENAMES ID THRU NAME.)",
                                     CopybookReader::Format::Free)),
          m_layout(m_copybook.record("")), m_decoder(EncodingCatalog::make("ISO-8859-1"), {}),
          m_writer(m_layout, m_decoder)
    {}

    std::string line(std::string_view record, bool expectValid)
    {
        std::string out;
        EXPECT_EQ(m_writer.write(record, out), expectValid) << record;
        return out;
    }

    Copybook m_copybook;
    Layout m_layout;
    FieldDecoder m_decoder;
    JsonLinesWriter m_writer;
};

} // namespace

TEST_F(JsonLines, GroupsNestAndTablesHoldTheOccurrencesPresent)
{
    EXPECT_EQ(line("007Ab\"c\t xx21}A05BA12ZZ", true),
              R"({"ID":7,"NAME":"Ab\"c\t","N":2,"ITEMS":[{"QTY":-10,"CODE":"A"},)"
              R"({"QTY":5,"CODE":"B"}],"KIND":"A","BODY":"12ZZ","NUM":null})"
              "\n");
    EXPECT_EQ(line("000      xx0A0000", true),
              R"({"ID":0,"NAME":"","N":0,"ITEMS":[],"KIND":"A","BODY":"0000","NUM":0})"
              "\n");
}

TEST_F(JsonLines, ShortRecordsLeaveOutWhatTheyLack)
{
    EXPECT_EQ(line("007Ab", true), "{\"ID\":7}\n");
    EXPECT_EQ(line("007Abc   xx301A", true),
              R"({"ID":7,"NAME":"Abc","N":3,"ITEMS":[{"QTY":1,"CODE":"A"}]})"
              "\n");
}

TEST_F(JsonLines, InvalidValuesAreNullAndCountUnlessRedefined)
{
    EXPECT_EQ(line("0A7      xx0A0000", false),
              R"({"ID":null,"NAME":"","N":0,"ITEMS":[],"KIND":"A","BODY":"0000","NUM":0})"
              "\n");
    // A counter beyond its range is clamped: three occurrences are read.
    EXPECT_EQ(line("001      xx501A02B03CA1234", false),
              R"({"ID":1,"NAME":"","N":null,"ITEMS":[{"QTY":1,"CODE":"A"},{"QTY":2,"CODE":"B"},)"
              R"({"QTY":3,"CODE":"C"}],"KIND":"A","BODY":"1234","NUM":1234})"
              "\n");
}

TEST(JsonLinesWriter, ControlCharactersAreEscaped)
{
    std::string out;

    JsonLinesWriter::appendEscaped(std::string("a\x01\\b\r\n\"\x7F", 8), out);

    EXPECT_EQ(out, "a\\u0001\\\\b\\r\\n\\\"\x7F");
}
