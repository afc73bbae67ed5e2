#include "ShiftedEbcdicEncoding.h"

namespace {

constexpr std::uint8_t kShiftOut = 0x0E;
constexpr std::uint8_t kShiftIn = 0x0F;
constexpr std::uint8_t kSpace = 0x40;

bool isDoubleByteHalf(std::uint8_t byte)
{
    return byte >= 0x41 && byte <= 0xFE;
}

} // namespace

ShiftedEbcdicEncoding::ShiftedEbcdicEncoding(std::string name, const std::string &charset)
    : EncodingBase(std::move(name), GlyphTable::forCharset(charset))
{}

// SO and SI are shift codes in either mode, so they are never taken into a character.
Unit ShiftedEbcdicEncoding::cut(std::string_view record, std::size_t at, ShiftState &state)
{
    const auto first = static_cast<std::uint8_t>(record[at]);
    if (first == kShiftOut || first == kShiftIn) {
        state = first == kShiftOut ? kDoubleByte : 0;
        return {1, UnitKind::Shift};
    }
    if (state != kDoubleByte)
        return {1, UnitKind::Character};
    if (first != kSpace && !isDoubleByteHalf(first))
        return {1, UnitKind::IllFormed};
    if (at + 1 == record.size())
        return {1, UnitKind::IllFormed};
    const auto second = static_cast<std::uint8_t>(record[at + 1]);
    const bool pair = first == kSpace ? second == kSpace : isDoubleByteHalf(second);
    return pair ? Unit{2, UnitKind::Character} : Unit{1, UnitKind::IllFormed};
}
