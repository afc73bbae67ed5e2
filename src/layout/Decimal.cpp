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

void Decimal::appendTo(std::string &out) const
{
    std::size_t first = 0;
    while (first < count && digits[first] == '0')
        ++first;
    const bool zero = first == count;
    const std::size_t fraction = scale > 0 ? static_cast<std::size_t>(scale) : 0;
    const std::size_t trailing = scale < 0 && !zero ? static_cast<std::size_t>(-scale) : 0;
    const std::size_t whole = count > fraction ? count - fraction : 0;
    const std::size_t leading = fraction > count ? fraction - count : 0; // zeros after the point
    // One append from a buffer: appending a piece at a time is slow. Only scales far beyond
    // the digits (from many Ps) need more room.
    char buffer[2 * kMostDigits + 4];
    if (trailing + leading > kMostDigits) {
        if (negative && !zero)
            out += '-';
        if (whole <= first)
            out += '0';
        else
            out.append(digits.data() + first, whole - first).append(trailing, '0');
        if (fraction != 0)
            out.append(1, '.').append(leading, '0').append(digits.data() + whole, count - whole);
        return;
    }
    // memcpy and memset, where std::copy becomes a rep movs whose start costs more than the
    // few digits it moves.
    char *at = buffer;
    if (negative && !zero)
        *at++ = '-';
    if (whole <= first) {
        *at++ = '0';
    } else {
        std::memcpy(at, digits.data() + first, whole - first);
        at += whole - first;
        std::memset(at, '0', trailing);
        at += trailing;
    }
    if (fraction != 0) {
        *at++ = '.';
        std::memset(at, '0', leading);
        at += leading;
        std::memcpy(at, digits.data() + whole, count - whole);
        at += count - whole;
    }
    out.append(buffer, static_cast<std::size_t>(at - buffer));
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
