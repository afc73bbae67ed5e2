#pragma once

#include "EncodingBase.h"

// The Japanese EBCDIC pages (CCSID 930, 939): SO (0x0E) switches to double-byte mode and SI
// (0x0F) back; a record starts in single-byte mode. A double-byte character is two bytes from
// 41 to FE, or 40 40, the double-byte space.
class ShiftedEbcdicEncoding : public EncodingBase<ShiftedEbcdicEncoding>
{
public:
    static constexpr bool kAsciiCompatible = false;
    static constexpr ShiftState kDoubleByte = 1;

    // charset: the C library's name for the page.
    ShiftedEbcdicEncoding(std::string name, const std::string &charset);

    static Unit cut(std::string_view record, std::size_t at, ShiftState &state);
};
