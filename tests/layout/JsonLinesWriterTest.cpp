#include "JsonLinesWriter.h"
#include "Copybook.h"
#include "DecodedJsonLine.h"
#include "EncodingCatalog.h"
#include "FieldDecoder.h"
#include "Layout.h"
#include "OutputBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

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

namespace {

// Fields of every way a value is written: short and long numbers, points within and beyond
// the digits, every sign convention, text and floats.
constexpr std::string_view kEveryWay = R"(
    01 R.
       05 P1 PIC S9(9)V99 COMP-3.
       05 P2 PIC 9(4) COMP-3.
       05 P3 PIC S9(18)V9(4) COMP-3.
       05 P4 PIC S9(3)PP COMP-3.
       05 P5 PIC SVPP9(3) COMP-3.
       05 Z1 PIC S9(5)V99.
       05 Z2 PIC 9(3).
       05 Z3 PIC S9(4) SIGN LEADING.
       05 Z4 PIC S9(3) SIGN TRAILING SEPARATE.
       05 Z5 PIC S9(17)V9.
       05 Z6 PIC S9(16)V9(16).
       05 B1 PIC S9(9) COMP.
       05 B2 PIC S9(4)V99 COMP.
       05 B3 PIC 9(18) COMP-5.
       05 B4 PIC S9(3)P COMP.
       05 B5 PIC 9(3) COMP-X.
       05 F1 COMP-2.
       05 T1 PIC X(7).
       05 N1 PIC N(2) NATIONAL.)";

std::string fromHex(const std::string &hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Digits in their zones with a sign of any nibble, a pad nibble of 0 half the time, and in a
// quarter of the fields one byte of any value; text of any bytes, binary half the time small.
std::string mostlyValidRecord(const Layout &layout, std::mt19937 &random)
{
    std::string record;
    for (const Placement &placement : layout.largest()) {
        const Item &item = *placement.item;
        if (item.isGroup())
            continue;
        const bool numeric = item.picture && item.picture->category == Picture::Category::Numeric;
        const std::size_t signAt = item.signLeading ? 0 : placement.length - 1;
        const unsigned sign = random() % 2 ? random() % 16 : 0xC + random() % 2;
        const bool small = random() % 2;
        const char high = random() % 2 ? '\xFF' : '\0';
        std::string field;
        for (std::size_t i = 0; i < placement.length; ++i) {
            const unsigned digit = random() % 10;
            if (item.usage == Usage::Packed)
                field += static_cast<char>((i == 0 && small ? 0 : digit << 4) |
                                           (i == signAt ? sign : random() % 10));
            else if (item.usage == Usage::Display && numeric)
                field += static_cast<char>((i == signAt ? sign << 4 : 0xF0) | digit);
            else if (small && numeric && i + 1 < placement.length)
                field += high;
            else
                field += static_cast<char>(random() % 256);
        }
        if (random() % 4 == 0)
            field[random() % field.size()] = static_cast<char>(random() % 256);
        record += field;
    }
    return record;
}

} // namespace

TEST(JsonLinesWriter, WritesWhatTheDecoderReadsInEveryWay)
{
    const Copybook copybook = Copybook::parse(kEveryWay, CopybookReader::Format::Free);
    const Layout layout(copybook.record(""));
    std::mt19937 random(3);
    for (const char *encoding : {"IBM-037", "IBM-939", "ISO-8859-1"}) {
        const FieldDecoder decoder(EncodingCatalog::make(encoding), {});
        JsonLinesWriter writer(layout, decoder);
        for (int i = 0; i < 3000; ++i) {
            const std::string record = mostlyValidRecord(layout, random);
            std::string line;
            writer.write(record, line);
            ASSERT_EQ(line, decodedJsonLine(layout, decoder, record)) << encoding << " " << i;
        }
    }
}

TEST(JsonLinesWriter, ExtremesOfShortNumbersKeepTheirDigits)
{
    const Copybook copybook = Copybook::parse(R"(
        01 R.
           05 P PIC S9(15) COMP-3.
           05 Z PIC S9(15)V9.
           05 B PIC S9(16) COMP-5.
           05 X PIC S9(15) COMP-5.)",
                                              CopybookReader::Format::Free);
    const Layout layout(copybook.record(""));
    const FieldDecoder decoder(EncodingCatalog::make("IBM-037"), {});
    JsonLinesWriter writer(layout, decoder);
    std::string line;
    writer.write(fromHex("999999999999999D"
                         "F9F9F9F9F9F9F9F9F9F9F9F9F9F9F9D9"
                         "002386F26FC0FFFF"   // 10^16 - 1
                         "FFDC790D903F0000"), // -10^16
                 line);
    EXPECT_EQ(line, R"({"P":-999999999999999,"Z":-999999999999999.9,)"
                    R"("B":9999999999999999,"X":-10000000000000000})"
                    "\n");
    line.clear();
    writer.write(fromHex("000000000000000D"
                         "F0F0F0F0F0F0F0F0F0F0F0F0F0F0F0D0" +
                         std::string(32, '0')),
                 line);
    EXPECT_EQ(line, R"({"P":0,"Z":0.0,"B":0,"X":0})"
                    "\n");
}

TEST(OutputBuffer, KeepsWhatWasWrittenWhenItGrows)
{
    OutputBuffer buffer;
    for (int i = 0; i < 1000; ++i) {
        char *at = buffer.room(3);
        std::memcpy(at, "abc", 3);
        buffer.commit(at + 3);
    }
    EXPECT_EQ(buffer.size(), 3000u);
    EXPECT_EQ(buffer.view().substr(2997), "abc");
    EXPECT_EQ(buffer.view().find_first_not_of("abc"), std::string_view::npos);
}
