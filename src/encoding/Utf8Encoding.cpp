#include "Utf8Encoding.h"

namespace {

struct Range
{
    std::uint8_t low;
    std::uint8_t high;

    bool holds(std::uint8_t byte) const { return byte >= low && byte <= high; }
};

constexpr Range kContinuation{0x80, 0xBF};

// The length of the sequence a first byte begins, and the range its second byte must lie in
// (narrower after E0, ED, F0 and F4, which rules out overlong forms, surrogates and code
// points above U+10FFFF); length 0 where the byte begins no sequence.
struct Lead
{
    std::uint8_t length;
    Range second;
};

Lead leadOf(std::uint8_t byte)
{
    if (byte < 0x80)
        return {1, kContinuation};
    if (byte >= 0xC2 && byte <= 0xDF)
        return {2, kContinuation};
    if (byte == 0xE0)
        return {3, {0xA0, 0xBF}};
    if (byte == 0xED)
        return {3, {0x80, 0x9F}};
    if (byte >= 0xE1 && byte <= 0xEF)
        return {3, kContinuation};
    if (byte == 0xF0)
        return {4, {0x90, 0xBF}};
    if (byte == 0xF4)
        return {4, {0x80, 0x8F}};
    if (byte >= 0xF1 && byte <= 0xF3)
        return {4, kContinuation};
    return {0, kContinuation};
}

} // namespace

Utf8Encoding::Utf8Encoding()
    : EncodingBase("UTF-8", GlyphTable([](std::string_view unit, ShiftState) {
                       return std::optional<std::u32string>(std::u32string(1, codePoint(unit)));
                   }))
{}

Unit Utf8Encoding::cut(std::string_view record, std::size_t at, ShiftState &)
{
    const auto byte = [&](std::size_t i) {
        return static_cast<std::uint8_t>(record[at + i]);
    };
    const Lead lead = leadOf(byte(0));
    if (lead.length <= 1)
        return {1, lead.length == 1 ? UnitKind::Character : UnitKind::IllFormed};
    const std::size_t left = record.size() - at;
    std::uint8_t length = 1;
    if (left > 1 && lead.second.holds(byte(1))) {
        length = 2;
        while (length < lead.length && length < left && kContinuation.holds(byte(length)))
            ++length;
    }
    return {length, length == lead.length ? UnitKind::Character : UnitKind::IllFormed};
}

char32_t Utf8Encoding::codePoint(std::string_view sequence)
{
    static constexpr std::uint8_t kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = static_cast<std::uint8_t>(sequence[0]) & kLeadMasks[sequence.size()];
    for (std::size_t i = 1; i < sequence.size(); ++i)
        value = (value << 6) | (static_cast<std::uint8_t>(sequence[i]) & 0x3F);
    return value;
}

// A byte that is no continuation byte always begins a unit, and a unit is at most four bytes
// long: so the last such byte of the four up to at is a unit start before at, and where there
// is none, at begins a unit itself.
std::optional<UnitStart> Utf8Encoding::startNear(std::string_view record, std::size_t at) const
{
    const std::size_t earliest = at >= 3 ? at - 3 : 0;
    for (std::size_t i = at + 1; i-- > earliest;) {
        if (!kContinuation.holds(static_cast<std::uint8_t>(record[i])))
            return UnitStart{i, 0};
    }
    return UnitStart{at, 0};
}
