#pragma once

#include <cstddef>
#include <cstdint>

// What a run of a record's bytes is, once an encoding has cut it off.
enum class UnitKind : std::uint8_t {
    Character, // a well-formed sequence of one to four bytes
    IllFormed, // the longest start of a sequence that the next byte does not go on with
    Shift,     // SO or SI of the EBCDIC pages that switch to double-byte mode
};

// 1 in the double-byte mode of a shifting EBCDIC page; every other encoding stays at 0.
using ShiftState = std::uint8_t;

struct Unit
{
    std::uint8_t length = 1;
    UnitKind kind = UnitKind::Character;
};

// Where a unit begins, and the shift state before it.
struct UnitStart
{
    std::size_t offset = 0;
    ShiftState state = 0;

    bool operator==(const UnitStart &) const = default;
};
