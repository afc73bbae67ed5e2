#pragma once

#include "EncodingBase.h"

// EUC-JP: ASCII, two-byte JIS X 0208 (A1-FE A1-FE), half-width katakana (8E A1-DF) and
// JIS X 0212 (8F A1-FE A1-FE).
class EucJpEncoding : public EncodingBase<EucJpEncoding>
{
public:
    static constexpr bool kAsciiCompatible = true;

    EucJpEncoding();

    static Unit cut(std::string_view record, std::size_t at, ShiftState &state);
    // Only JIS bytes (A1-FE) go on with a unit.
    static bool beginsUnit(std::uint8_t byte) { return byte < 0xA1 || byte == 0xFF; }
};
