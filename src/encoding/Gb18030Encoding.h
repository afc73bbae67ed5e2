#pragma once

#include "EncodingBase.h"

// GB18030: ASCII; two bytes 81-FE, 40-7E or 80-FE; four bytes 81-FE, 30-39, 81-FE, 30-39.
class Gb18030Encoding : public EncodingBase<Gb18030Encoding>
{
public:
    static constexpr bool kAsciiCompatible = true;

    Gb18030Encoding();

    static Unit cut(std::string_view record, std::size_t at, ShiftState &state);
};
