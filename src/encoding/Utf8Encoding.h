#pragma once

#include "EncodingBase.h"

// UTF-8 as RFC 3629 has it: one to four bytes, no overlong forms, no surrogates, nothing above
// U+10FFFF. Every well-formed sequence maps, so the code points are worked out here.
class Utf8Encoding : public EncodingBase<Utf8Encoding>
{
public:
    static constexpr bool kAsciiCompatible = true;

    Utf8Encoding();

    static Unit cut(std::string_view record, std::size_t at, ShiftState &state);
    // The code point of a well-formed sequence.
    static char32_t codePoint(std::string_view sequence);

    std::optional<UnitStart> startNear(std::string_view record, std::size_t at) const override;
    bool mapped(std::string_view, ShiftState) const { return true; }
};
