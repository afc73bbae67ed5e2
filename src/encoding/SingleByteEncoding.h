#pragma once

#include "EncodingBase.h"

// A page in which every byte is a character of its own: ISO-8859, EBCDIC 037, 1047, 290, 1027.
class SingleByteEncoding : public EncodingBase<SingleByteEncoding>
{
public:
    static constexpr bool kAsciiCompatible = false;

    // charset: the C library's name for the page; one whose single-byte mode is the page
    // serves as well.
    SingleByteEncoding(std::string name, const std::string &charset);

    static Unit cut(std::string_view, std::size_t, ShiftState &)
    {
        return {1, UnitKind::Character};
    }
    std::optional<UnitStart> startNear(std::string_view record, std::size_t at) const override;
};
