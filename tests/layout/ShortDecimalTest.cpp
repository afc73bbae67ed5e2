#include "ShortDecimal.h"
#include "Decimal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string viaDecimal(std::string_view digits, bool negative, int scale)
{
    Decimal decimal;
    decimal.start(scale);
    decimal.negative = negative;
    for (const char digit : digits)
        decimal.push(digit);
    std::string out;
    decimal.appendTo(out);
    return out;
}

std::string viaShort(std::string_view digits, bool negative, std::size_t scale)
{
    ShortDecimal value;
    std::memcpy(&value.characters, digits.data(), digits.size());
    value.count = static_cast<std::uint8_t>(digits.size());
    value.negative = negative;
    char out[ShortDecimal::kMostWritten];
    return std::string(out, value.writeTo(out, scale));
}

} // namespace

TEST(ShortDecimal, WritesWhatDecimalWritesForEveryPointWithinTheDigits)
{
    for (const std::string_view digits :
         {"0", "7", "00", "05", "50", "0000", "0001", "1000", "0500", "123456789012345",
          "0000000000000000", "0000000000000001", "9999999999999999", "1000000000000000"}) {
        for (std::size_t scale = 0; scale <= digits.size(); ++scale) {
            for (const bool negative : {false, true})
                EXPECT_EQ(viaShort(digits, negative, scale),
                          viaDecimal(digits, negative, static_cast<int>(scale)))
                    << digits << " scale " << scale << (negative ? " negative" : "");
        }
    }
}

TEST(ShortDecimal, MagnitudesKeepEveryDigit)
{
    for (const std::uint64_t magnitude :
         {std::uint64_t{0}, std::uint64_t{9}, std::uint64_t{10}, std::uint64_t{99'999'999},
          std::uint64_t{100'000'000}, std::uint64_t{1'234'567'890'123'456},
          std::uint64_t{9'999'999'999'999'999}}) {
        char out[ShortDecimal::kMostWritten];
        char *end = ShortDecimal::ofMagnitude(magnitude, true).writeTo(out, 0);
        EXPECT_EQ(std::string(out, end), (magnitude ? "-" : "") + std::to_string(magnitude));
    }
}
