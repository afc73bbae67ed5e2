#pragma once

#include "Glyph.h"
#include "Unit.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The glyphs of an encoding's units, each decoded once, on first sight: a record of any size
// holds few distinct characters. Not for use from two threads at once.
class GlyphTable
{
public:
    // The code points of a unit in a shift state, or nothing when they cannot be had.
    using Decoder = std::function<std::optional<std::u32string>(std::string_view, ShiftState)>;

    explicit GlyphTable(Decoder decoder);
    // Decoded by the C library's converter for charset; in state 1 a unit is decoded after an
    // SO, as the double-byte character it is there.
    static GlyphTable forCharset(const std::string &charset);

    // unit: one to four bytes.
    Glyph glyph(std::string_view unit, ShiftState state) const;
    // glyph(unit, state).mapped, without a look at the entry once the unit was decoded.
    bool mapped(std::string_view unit, ShiftState state) const;

private:
    struct Entry
    {
        std::string utf8;
        std::uint8_t width = 0;
        bool mapped = false;
    };

    // An entry's number from 1, and kMappedBit where it maps; 0 before it is decoded.
    static constexpr std::uint32_t kMappedBit = 0x80000000;

    std::uint32_t &slotOf(std::string_view unit, ShiftState state) const;
    std::uint32_t decodeInto(std::uint32_t &slot, std::string_view unit, ShiftState state) const;

    Decoder m_decoder;
    // Units of one or two bytes by index, 0 for not yet decoded; longer ones by key.
    mutable std::vector<std::uint32_t> m_short;
    mutable std::unordered_map<std::uint64_t, std::uint32_t> m_long;
    mutable std::deque<Entry> m_entries; // stays where it is as it grows
};
