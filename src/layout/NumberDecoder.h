#pragma once

#include "Decimal.h"
#include "FieldValue.h"
#include "Item.h"
#include "ShortDecimal.h"

#include <cstdint>
#include <string_view>

// The numbers of an item's bytes, exact: zoned and packed decimal, binary, and the text of a
// numeric-edited item. Each gives the reason when the bytes hold no number of its picture.
class NumberDecoder
{
public:
    using Reason = FieldValue::Reason;

    // Zoned decimal: EBCDIC digits F0 to F9 with the sign in a zone (C, A, E, F positive,
    // D, B negative), or ASCII digits with the sign as 0x70 to 0x79 (negative) or as
    // "{", "A" to "I" (positive) and "}", "J" to "R" (negative); SEPARATE takes "+" or "-".
    static Reason zoned(std::string_view bytes, const Item &item, bool ebcdic, Decimal &out);
    static Reason packed(std::string_view bytes, const Item &item, Decimal &out);
    // The same for EBCDIC zoned decimal without a separate sign, and packed decimal, of at most
    // 16 and 15 digits, every byte at once: whether the bytes hold a number. When they do not,
    // the forms above give the reason. Inline, as they are the most of a JSON line's work.
    static bool shortEbcdicZoned(std::string_view bytes, const Item &item, ShortDecimal &out);
    static bool shortPacked(std::string_view bytes, const Item &item, ShortDecimal &out);
    // Big-endian, or little-endian where asked; COMP and COMP-4 keep to the picture's digits.
    static Reason binary(std::string_view bytes, const Item &item, bool littleEndian, Decimal &out);
    // The same as a whole number, to be scaled by binaryScale().
    struct BinaryValue
    {
        unsigned __int128 magnitude = 0;
        bool negative = false;
    };
    static Reason binary(std::string_view bytes, const Item &item, bool littleEndian,
                         BinaryValue &out);
    static int binaryScale(const Item &item)
    {
        return item.picture && item.picture->category == Picture::Category::Numeric
                   ? item.picture->scale
                   : 0;
    }
    // text: one character a position, as decoded from the record.
    static Reason edited(std::string_view text, const Item &item, Decimal &out);
    // COMP-1 and COMP-2 as IBM hexadecimal floating point or IEEE 754, big-endian.
    static double hexFloat(std::string_view bytes);
    static double ieeeFloat(std::string_view bytes);

    // A sign nibble: +1, -1, or 0 for none. Unsigned items take only F and C. A look-up, as
    // signs follow no pattern that a branch could learn.
    static int signOfNibble(std::uint8_t nibble, bool isSigned)
    {
        // By the nibble, 0 to F.
        static constexpr std::int8_t kSigned[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, -1, 1, -1, 1, 1};
        static constexpr std::int8_t kUnsigned[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1};
        return (isSigned ? kSigned : kUnsigned)[nibble & 0x0F];
    }

private:
    using Bytes = ShortDecimal::Bytes;

    static constexpr Bytes kEvery = ~Bytes{0} / 0xFF; // 1 in every byte

    // 1 to 16 bytes with the first in the lowest byte, as the characters are held.
    static Bytes inMemoryOrder(std::string_view bytes)
    {
        if (bytes.size() <= 8)
            return inMemoryOrder8(bytes);
        return inMemoryOrder8(bytes.substr(0, 8)) | Bytes{inMemoryOrder8(bytes.substr(8))} << 64;
    }
    // The same for 1 to 8 bytes, in 64 bits, which take fewer steps.
    static std::uint64_t inMemoryOrder8(std::string_view bytes)
    {
        std::uint64_t raw = 0;
        for (const char byte : bytes)
            raw = raw << 8 | static_cast<std::uint8_t>(byte);
        return __builtin_bswap64(raw << (64 - 8 * bytes.size()));
    }
    // Four bytes as their eight nibbles, a byte each, the high nibble first.
    static std::uint64_t nibblesOf(std::uint32_t four)
    {
        std::uint64_t spread = (four | std::uint64_t{four} << 16) & 0x0000FFFF0000FFFF;
        spread = (spread | spread << 8) & 0x00FF00FF00FF00FF;
        return (spread >> 4 & 0x000F000F000F000F) | (spread & 0x000F000F000F000F) << 8;
    }
    // Whether every byte of nibbles is a digit: adding 6 carries above 9.
    static bool allDigits(Bytes nibbles) { return ((nibbles + 6 * kEvery) & 0xF0 * kEvery) == 0; }
};

inline bool NumberDecoder::shortEbcdicZoned(std::string_view bytes, const Item &item,
                                            ShortDecimal &out)
{
    if (item.signSeparate || bytes.size() > ShortDecimal::kMostDigits)
        return false;
    const Bytes raw = inMemoryOrder(bytes);
    const Bytes used = bytes.size() == 16 ? ~Bytes{0} : (Bytes{1} << (8 * bytes.size())) - 1;
    const std::size_t signAt = item.signLeading ? 0 : bytes.size() - 1;
    // Every zone F but the sign's.
    const Bytes zones = (raw | Bytes{0xF0} << (8 * signAt)) & 0xF0 * kEvery & used;
    const Bytes digits = raw & 0x0F * kEvery;
    if (zones != (0xF0 * kEvery & used) || !allDigits(digits))
        return false;
    const int sign =
        signOfNibble(static_cast<std::uint8_t>(raw >> (8 * signAt)) >> 4, item.picture->isSigned);
    out.characters = digits | ShortDecimal::kZeros;
    out.count = static_cast<std::uint8_t>(bytes.size());
    out.negative = sign < 0;
    return sign != 0;
}

inline bool NumberDecoder::shortPacked(std::string_view bytes, const Item &item, ShortDecimal &out)
{
    const std::size_t nibbles = bytes.size() * 2 - 1; // and the sign's
    const std::size_t pad = nibbles - static_cast<std::size_t>(item.picture->digits);
    if (nibbles > ShortDecimal::kMostDigits || pad > 1)
        return false;
    const auto raw = static_cast<std::uint64_t>(inMemoryOrder(bytes));
    const Bytes all = Bytes{nibblesOf(static_cast<std::uint32_t>(raw))} |
                      Bytes{nibblesOf(static_cast<std::uint32_t>(raw >> 32))} << 64;
    const Bytes digits = all & ((Bytes{1} << (8 * nibbles)) - 1); // the pad too
    if (!allDigits(digits) || (pad == 1 && (digits & 0xFF) != 0))
        return false;
    const int sign =
        signOfNibble(static_cast<std::uint8_t>(all >> (8 * nibbles)), item.picture->isSigned);
    out.characters = (digits >> (8 * pad)) | ShortDecimal::kZeros;
    out.count = static_cast<std::uint8_t>(nibbles - pad);
    out.negative = sign < 0;
    return sign != 0;
}
