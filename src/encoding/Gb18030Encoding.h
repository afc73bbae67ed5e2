#pragma once

#include "EncodingBase.h"

// GB18030: ASCII; two bytes 81-FE, 40-7E or 80-FE; four bytes 81-FE, 30-39, 81-FE, 30-39.
class Gb18030Encoding : public EncodingBase<Gb18030Encoding>
{
public:
    static constexpr bool kAsciiCompatible = true;

    Gb18030Encoding();

    static Unit cut(std::string_view record, std::size_t at, ShiftState &state);
    // Only 30-39, 40-7E and 80-FE go on with a unit.
    static bool beginsUnit(std::uint8_t byte)
    {
        return byte < 0x30 || (byte > 0x39 && byte < 0x40) || byte == 0x7F || byte == 0xFF;
    }
};
