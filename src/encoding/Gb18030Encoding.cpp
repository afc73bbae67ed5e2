#include "Gb18030Encoding.h"

namespace {

bool isLead(std::uint8_t byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool isDigit(std::uint8_t byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

bool isTrail(std::uint8_t byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

} // namespace

Gb18030Encoding::Gb18030Encoding() : EncodingBase("GB18030", GlyphTable::forCharset("GB18030"))
{}

Unit Gb18030Encoding::cut(std::string_view record, std::size_t at, ShiftState &)
{
    const std::size_t left = record.size() - at;
    const auto byte = [&](std::size_t i) {
        return i < left ? static_cast<std::uint8_t>(record[at + i]) : std::uint8_t{0};
    };
    const std::uint8_t first = byte(0);
    if (first < 0x80)
        return {1, UnitKind::Character};
    if (!isLead(first))
        return {1, UnitKind::IllFormed};
    if (isTrail(byte(1)))
        return {2, UnitKind::Character};
    if (!isDigit(byte(1)))
        return {1, UnitKind::IllFormed};
    if (!isLead(byte(2)))
        return {2, UnitKind::IllFormed};
    return isDigit(byte(3)) ? Unit{4, UnitKind::Character} : Unit{3, UnitKind::IllFormed};
}
