#include "Decimal.h"

#include <algorithm>
#include <cstring>
#include <limits>

Decimal Decimal::fromMagnitude(unsigned __int128 magnitude, bool negative, int scale)
{
    std::array<char, kMostDigits> reversed;
    std::uint8_t count = 0;
    // Division of 128 bits is a call; most values fit 64, where it is a multiplication.
    while (magnitude > std::numeric_limits<std::uint64_t>::max()) {
        reversed[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    }
    auto small = static_cast<std::uint64_t>(magnitude);
    do {
        reversed[count++] = static_cast<char>('0' + small % 10);
        small /= 10;
    } while (small != 0);
    Decimal decimal;
    decimal.negative = negative;
    decimal.scale = scale;
    for (std::uint8_t i = count; i-- > 0;)
        decimal.push(reversed[i]);
    return decimal;
}

namespace {

struct Parts
{
    std::size_t first;    // the first digit that is not a leading zero
    std::size_t fraction; // digits after the point
    std::size_t trailing; // zeros after the digits, for a negative scale
    std::size_t whole;    // digits before the point
    std::size_t leading;  // zeros after the point, before the digits
    bool zero;
};

Parts partsOf(const Decimal &decimal)
{
    Parts parts{};
    while (parts.first < decimal.count && decimal.digits[parts.first] == '0')
        ++parts.first;
    parts.zero = parts.first == decimal.count;
    const int scale = decimal.scale;
    parts.fraction = scale > 0 ? static_cast<std::size_t>(scale) : 0;
    parts.trailing = scale < 0 && !parts.zero ? static_cast<std::size_t>(-scale) : 0;
    parts.whole = decimal.count > parts.fraction ? decimal.count - parts.fraction : 0;
    parts.leading = parts.fraction > decimal.count ? parts.fraction - decimal.count : 0;
    return parts;
}

} // namespace

bool Decimal::writable() const
{
    const Parts parts = partsOf(*this);
    return parts.trailing + parts.leading <= kMostDigits;
}

void Decimal::appendTo(std::string &out) const
{
    // One append from a buffer: appending a piece at a time is slow. Only scales far beyond
    // the digits (from many Ps) need more room.
    if (writable()) {
        char buffer[kMostWritten];
        out.append(buffer, writeTo(buffer));
        return;
    }
    const Parts parts = partsOf(*this);
    if (negative && !parts.zero)
        out += '-';
    if (parts.whole <= parts.first)
        out += '0';
    else
        out.append(digits.data() + parts.first, parts.whole - parts.first)
            .append(parts.trailing, '0');
    if (parts.fraction != 0)
        out.append(1, '.')
            .append(parts.leading, '0')
            .append(digits.data() + parts.whole, count - parts.whole);
}

char *Decimal::writeTo(char *at) const
{
    const Parts parts = partsOf(*this);
    // memcpy and memset, where std::copy becomes a rep movs whose start costs more than the
    // few digits it moves.
    if (negative && !parts.zero)
        *at++ = '-';
    if (parts.whole <= parts.first) {
        *at++ = '0';
    } else {
        std::memcpy(at, digits.data() + parts.first, parts.whole - parts.first);
        at += parts.whole - parts.first;
        std::memset(at, '0', parts.trailing);
        at += parts.trailing;
    }
    if (parts.fraction != 0) {
        *at++ = '.';
        std::memset(at, '0', parts.leading);
        at += parts.leading;
        std::memcpy(at, digits.data() + parts.whole, count - parts.whole);
        at += count - parts.whole;
    }
    return at;
}

std::optional<std::int64_t> Decimal::integer() const
{
    const std::size_t whole = scale > 0 ? (count > scale ? count - scale : 0) : count;
    for (std::size_t i = whole; i < count; ++i) {
        if (digits[i] != '0')
            return std::nullopt;
    }
    std::int64_t value = 0;
    for (std::size_t i = 0; i < whole; ++i) {
        if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10)
            return std::nullopt;
        value = value * 10 + (digits[i] - '0');
    }
    for (int i = 0; i < -scale && value != 0; ++i) {
        if (value > std::numeric_limits<std::int64_t>::max() / 10)
            return std::nullopt;
        value *= 10;
    }
    return negative ? -value : value;
}
