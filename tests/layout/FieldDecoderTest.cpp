#include "FieldDecoder.h"
#include "Copybook.h"
#include "EncodingCatalog.h"
#include "Layout.h"

#include <gtest/gtest.h>

namespace {

using Floats = FieldDecoder::Options::Floats;

struct Case
{
    std::string entry;    // the clauses of an 01 level
    std::string hex;      // its bytes
    std::string expected; // the value, "null", or "invalid:REASON"
};

std::string bytesOf(const std::string &hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string decoded(const Case &c, const std::string &encoding, FieldDecoder::Options options = {})
{
    const Copybook copybook =
        Copybook::parse("01 F " + c.entry + ".", CopybookReader::Format::Free);
    const Item &item = copybook.record("");
    const std::string bytes = bytesOf(c.hex);
    EXPECT_EQ(Layout::elementLength(item), bytes.size()) << c.entry;
    const FieldDecoder decoder(EncodingCatalog::make(encoding), options);
    std::string out;

    const FieldValue value = decoder.decode(bytes, item, out);

    if (value.kind == FieldValue::Kind::Null)
        return "null";
    if (!value.valid())
        return "invalid:" + std::string(FieldValue::reasonName(value.reason)) + out;
    return out;
}

void expectAll(const std::vector<Case> &cases, const std::string &encoding,
               FieldDecoder::Options options = {})
{
    for (const Case &c : cases)
        EXPECT_EQ(decoded(c, encoding, options), c.expected) << c.entry << " " << c.hex;
}

} // namespace

TEST(FieldDecoder, EbcdicZonedDecimalTakesItsSignFromAZone)
{
    expectAll({{"PIC S9(3)", "F1F2C3", "123"},
               {"PIC S9(3)", "F1F2A3", "123"},
               {"PIC S9(3)", "F1F2E3", "123"},
               {"PIC S9(3)", "F1F2F3", "123"},
               {"PIC S9(3)", "F1F2D3", "-123"},
               {"PIC S9(3)", "F1F2B3", "-123"},
               {"PIC S9(3)", "F0F0D0", "0"},
               {"PIC S9(3)", "F1F213", "invalid:sign"},
               {"PIC S9(3)", "F1C2C3", "invalid:zone"},
               {"PIC S9(3)", "404040", "invalid:zone"},
               {"PIC S9(3)", "F1FAC3", "invalid:digit"},
               {"PIC 9(3)", "F1F2C3", "123"},
               {"PIC 9(3)", "F1F2D3", "invalid:sign"},
               {"PIC 9(3)", "F1F2E3", "invalid:sign"},
               {"PIC S9(3) SIGN LEADING", "D1F2F3", "-123"},
               {"PIC S9(3) SIGN LEADING SEPARATE", "60F1F2F3", "-123"},
               {"PIC S9(3) SIGN LEADING SEPARATE", "4EF1F2F3", "123"},
               {"PIC S9(3) SIGN LEADING SEPARATE", "40F1F2F3", "invalid:sign"},
               {"PIC S9(3) SIGN TRAILING SEPARATE", "F1F2C360", "invalid:zone"},
               {"PIC S9(3)V99", "F1F2F3F4D5", "-123.45"},
               {"PIC S9(3)V99", "F0F0F0F5C0", "0.50"},
               {"PIC 99PPP", "F1F2", "12000"},
               {"PIC PPP99", "F1F2", "0.00012"},
               {"PIC SVP9", "C5", "0.05"},
               {"PIC SP(3)9", "D1", "-0.0001"},
               {"PIC 9P(45)", "F1", "1" + std::string(45, '0')},
               {"PIC SP(45)9", "D1", "-0." + std::string(45, '0') + "1"},
               {"PIC 9P(45)", "F0", "0"},
               {"PIC S9", "D9", "-9"},
               {"PIC 9(18)", "F9F9F9F9F9F9F9F9F9F9F9F9F9F9F9F9F9F9", std::string(18, '9')},
               {"PIC 9(19)", "F1F0F0F0F0F0F0F0F0F0F0F0F0F0F0F0F0F0F1", "1000000000000000001"}},
              "IBM-037");
}

TEST(FieldDecoder, AsciiZonedDecimalReadsBothOverpunchConventions)
{
    expectAll({{"PIC S9(3)", "313233", "123"},
               {"PIC S9(3)", "313273", "-123"},
               {"PIC S9(3)", "31327B", "120"},
               {"PIC S9(3)", "31327D", "-120"},
               {"PIC S9(3)", "313243", "123"},
               {"PIC S9(3)", "31324C", "-123"},
               {"PIC S9(3)", "313252", "-129"},
               {"PIC S9(3)", "313220", "invalid:sign"},
               {"PIC S9(3)", "203233", "invalid:zone"},
               {"PIC S9(3)", "3A3233", "invalid:digit"},
               {"PIC 9(3)", "313243", "invalid:sign"},
               {"PIC 9(3)", "31323A", "invalid:digit"},
               {"PIC S9(3) SIGN LEADING", "713233", "-123"},
               {"PIC S9(3)V9 SIGN TRAILING SEPARATE", "313233342D", "-123.4"}},
              "ISO-8859-1");
}

TEST(FieldDecoder, PackedDecimalTakesEverySignNibble)
{
    expectAll({{"PIC S9(3) COMP-3", "123C", "123"},
               {"PIC S9(3) COMP-3", "123A", "123"},
               {"PIC S9(3) COMP-3", "123E", "123"},
               {"PIC S9(3) COMP-3", "123F", "123"},
               {"PIC S9(3) COMP-3", "123D", "-123"},
               {"PIC S9(3) COMP-3", "123B", "-123"},
               {"PIC S9(3) COMP-3", "1239", "invalid:sign"},
               {"PIC S9(3) COMP-3", "1A3C", "invalid:digit"},
               {"PIC 9(3) PACKED-DECIMAL", "123F", "123"},
               {"PIC 9(3) PACKED-DECIMAL", "123C", "123"},
               {"PIC 9(3) PACKED-DECIMAL", "123D", "invalid:sign"},
               {"PIC S9(4) COMP-3", "01234C", "1234"},
               {"PIC S9(4) COMP-3", "11234C", "invalid:range"},
               {"PIC S9(7)V99 COMP-3", "000003050C", "30.50"},
               {"PIC S9 COMP-3", "1D", "-1"},
               {"PIC S9(18) COMP-3", "0123456789012345678D", "-123456789012345678"},
               {"PIC S9(19) COMP-3", "9999999999999999999C", std::string(19, '9')},
               {"PIC S9(38) COMP-3", "0" + std::string(38, '9') + "D", "-" + std::string(38, '9')},
               {"PIC S9(3)V9(35) COMP-3", "0" + std::string(37, '0') + "1C",
                "0." + std::string(34, '0') + "1"}},
              "IBM-037");
}

TEST(FieldDecoder, BinaryHoldsItsPictureOrItsBytes)
{
    const std::string most128 = "170141183460469231731687303715884105727";
    expectAll(
        {{"PIC S9(4) COMP", "270F", "9999"},
         {"PIC S9(4) COMP", "D8F1", "-9999"},
         {"PIC S9(4) COMP", "D8F0", "invalid:range"},
         {"PIC S9(4) COMP", "7FFF", "invalid:range"},
         {"PIC S9(4) COMP-5", "7FFF", "32767"},
         {"PIC S9(4) COMP-5", "8000", "-32768"},
         {"PIC 9(4) COMP-5", "FFFF", "65535"},
         {"PIC 9(4) BINARY", "FFFF", "invalid:range"},
         {"PIC S9(3)V99 COMP", "FFFFFFFF", "-0.01"},
         {"PIC S9(18) COMP", "0DE0B6B3A763FFFF", std::string(18, '9')},
         {"PIC S9(18) COMP", "F21F494C589C0001", "-" + std::string(18, '9')},
         {"PIC S9(18) COMP-5", "8000000000000000", "-9223372036854775808"},
         {"PIC 9(18) COMP-5", "FFFFFFFFFFFFFFFF", "18446744073709551615"},
         {"PIC S9(20) COMP", "056BC75E2D630FFFFF", std::string(20, '9')},
         {"PIC S9(38) COMP", "7" + std::string(31, 'F'), "invalid:range"},
         {"PIC S9(38) COMP-5", "7" + std::string(31, 'F'), most128},
         {"PIC S9(38) COMP-5", "8" + std::string(31, '0'),
          "-170141183460469231731687303715884105728"},
         {"PIC 9(38) COMP-5", std::string(32, 'F'), "340282366920938463463374607431768211455"},
         {"PIC 9(3) COMP-X", "FFFF", "65535"},
         {"PIC X(2) COMP-X", "0102", "258"},
         {"POINTER", "0012ABCD", "0012ABCD"}},
        "IBM-037");
}

TEST(FieldDecoder, LittleEndianIsForComp5Only)
{
    FieldDecoder::Options little;
    little.littleEndianComp5 = true;

    expectAll({{"PIC S9(4) COMP-5", "FF7F", "32767"},
               {"PIC S9(9) COMP-5", "FEFFFFFF", "-2"},
               {"PIC S9(4) COMP", "0100", "256"},
               {"PIC S9(4) COMP-4", "0100", "256"}},
              "ISO-8859-1", little);
}

TEST(FieldDecoder, FloatsAreTheShortestDecimalOfTheirNearestDouble)
{
    expectAll({{"COMP-1", "00000000", "0"},
               {"COMP-1", "80000000", "0"},
               {"COMP-1", "41100000", "1"},
               {"COMP-1", "C1100000", "-1"},
               {"COMP-1", "C2640000", "-100"},
               {"COMP-1", "00100000", "5.397605346934028e-79"},
               {"COMP-1", "7FFFFFFF", "7.2370051459731155e+75"},
               {"COMP-2", "7FFFFFFFFFFFFFFF", "7.237005577332262e+75"},
               {"COMP-2", "401999999999999A", "0.1"}},
              "IBM-037");
    expectAll({{"COMP-1", "3F800000", "1"},
               {"COMP-1", "C0490FDB", "-3.1415927410125732"},
               {"COMP-1", "7FC00000", "null"},
               {"COMP-2", "FFF0000000000000", "null"},
               {"COMP-2", "3FB999999999999A", "0.1"}},
              "ISO-8859-1");
    FieldDecoder::Options ieee;
    ieee.floats = Floats::Ieee;
    expectAll({{"COMP-1", "3F800000", "1"}}, "IBM-037", ieee);
}

TEST(FieldDecoder, NumericEditedReadsTheNumberTheTextShows)
{
    expectAll({{"PIC Z(6)VZZ-", "4040F1F2F3F4F5F660", "-1234.56"},
               {"PIC Z(6)VZZ-", "404040404040F5F640", "0.56"},
               {"PIC Z(6)VZZ-", "404040F140F5F5F640", "invalid:edited"},
               {"PIC +9(8)", "4EF0F0F0F0F1F2F3F4", "1234"},
               {"PIC +9(8)", "60F0F0F0F0F1F2F3F4", "-1234"},
               {"PIC +9(8)", "40F0F0F0F0F1F2F3F4", "invalid:edited"},
               {"PIC 9(6).99-", "F0F0F1F2F3F44BF5F060", "-1234.50"},
               {"PIC $$,$$9.99CR", "5BF16BF2F3F44BF5F0C3D9", "-1234.50"},
               {"PIC $$,$$9.99CR", "404040405BF04BF0F54040", "0.05"},
               {"PIC $$,$$9.99CR", "F1F26BF3F4F54BF0F04040", "invalid:edited"},
               {"PIC ***,**9.99", "5C5C5C5C5CF1F24BF5F0", "12.50"},
               {"PIC ---9", "4060F1F2", "-12"},
               {"PIC ---9", "4040F1F2", "12"},
               {"PIC ZZ9 BLANK WHEN ZERO", "404040", "0"},
               {"PIC ZZ9.99DB", "F1F2F34BF4F5C4C2", "-123.45"}},
              "IBM-037");
}

TEST(FieldDecoder, TextLosesItsTrailingBlanks)
{
    expectAll({{"PIC X(5)", "C1C2404040", "AB"},
               {"PIC X(3)", "4040C1", "  A"},
               {"PIC X(3)", "404040", ""}},
              "IBM-037");
    expectAll({{"PIC X(4)", "41422020", "AB"}, {"PIC X(2)", "8A20", "invalid:unmapped"}},
              "Shift_JIS");
    // Alphanumeric text may shift to double-byte and back.
    expectAll({{"PIC X(8)", "C10E456245660F40", "A日本"}}, "IBM-939");
}

TEST(FieldDecoder, DoubleByteFieldsReadTheirEncodingsKanji)
{
    const std::string nihon = "日本";
    for (const char *page : {"IBM-939", "IBM-930", "IBM-1027", "IBM-290"})
        expectAll({{"PIC G(3)", "456245664040", nihon},
                   {"PIC N(2)", "45624566", nihon},
                   {"PIC G(2) USAGE DISPLAY-1", "45627FFF", "invalid:unmapped"}},
                  page);
    expectAll({{"PIC G(3)", "93FA967B8140", nihon}, {"PIC G(2)", "93FA8120", "invalid:unmapped"}},
              "Shift_JIS");
    expectAll({{"PIC G(3)", "C6FCCBDCA1A1", nihon}}, "EUC-JP");
    expectAll({{"PIC N(3) NATIONAL", "65E5672C3000", nihon},
               {"PIC N(2) NATIONAL", "D8000041", "invalid:unmapped"}},
              "IBM-939");
    FieldDecoder::Options national;
    national.nationalN = true;
    expectAll({{"PIC N(2)", "65E5672C", nihon}, {"PIC G(2)", "45624566", nihon}}, "IBM-939",
              national);
}

TEST(FieldDecoder, CountersAreWholeNumbers)
{
    const Copybook copybook = Copybook::parse("01 R. 05 Z PIC 9(2). 05 P PIC S9(3) COMP-3. "
                                              "05 F PIC 9V9.",
                                              CopybookReader::Format::Free);
    const auto &items = copybook.record("").children;
    const FieldDecoder decoder(EncodingCatalog::make("IBM-037"), {});

    EXPECT_EQ(decoder.counter(bytesOf("F4F2"), *items[0]), 42);
    EXPECT_EQ(decoder.counter(bytesOf("012D"), *items[1]), -12);
    EXPECT_EQ(decoder.counter(bytesOf("F4F0"), *items[2]), 4);
    EXPECT_EQ(decoder.counter(bytesOf("F4F2"), *items[2]), std::nullopt);
    EXPECT_EQ(decoder.counter(bytesOf("4040"), *items[0]), std::nullopt);
}
