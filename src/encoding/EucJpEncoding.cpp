#include "EucJpEncoding.h"

namespace {

constexpr std::uint8_t kKatakanaShift = 0x8E;   // SS2
constexpr std::uint8_t kSupplementShift = 0x8F; // SS3

bool inRange(std::uint8_t byte, std::uint8_t low, std::uint8_t high)
{
    return byte >= low && byte <= high;
}

bool isJisByte(std::uint8_t byte)
{
    return inRange(byte, 0xA1, 0xFE);
}

} // namespace

EucJpEncoding::EucJpEncoding() : EncodingBase("EUC-JP", GlyphTable::forCharset("EUC-JP"))
{}

// A sequence cut short keeps the bytes that did fit as one ill-formed unit.
Unit EucJpEncoding::cut(std::string_view record, std::size_t at, ShiftState &)
{
    const std::size_t left = record.size() - at;
    const auto byte = [&](std::size_t i) {
        return i < left ? static_cast<std::uint8_t>(record[at + i]) : std::uint8_t{0};
    };
    const std::uint8_t first = byte(0);
    if (first < 0x80)
        return {1, UnitKind::Character};
    if (first == kKatakanaShift)
        return inRange(byte(1), 0xA1, 0xDF) ? Unit{2, UnitKind::Character}
                                            : Unit{1, UnitKind::IllFormed};
    if (first == kSupplementShift) {
        if (!isJisByte(byte(1)))
            return {1, UnitKind::IllFormed};
        return isJisByte(byte(2)) ? Unit{3, UnitKind::Character} : Unit{2, UnitKind::IllFormed};
    }
    if (isJisByte(first) && isJisByte(byte(1)))
        return {2, UnitKind::Character};
    return {1, UnitKind::IllFormed};
}
