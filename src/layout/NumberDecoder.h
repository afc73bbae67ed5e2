#pragma once

#include "Decimal.h"
#include "FieldValue.h"
#include "ShortDecimal.h"

#include <string_view>

struct Item;

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
    // 15 digits, byte by byte without a branch: whether the bytes hold a number. When they do
    // not, the forms above give the reason.
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
    static int binaryScale(const Item &item);
    // text: one character a position, as decoded from the record.
    static Reason edited(std::string_view text, const Item &item, Decimal &out);
    // COMP-1 and COMP-2 as IBM hexadecimal floating point or IEEE 754, big-endian.
    static double hexFloat(std::string_view bytes);
    static double ieeeFloat(std::string_view bytes);
};
