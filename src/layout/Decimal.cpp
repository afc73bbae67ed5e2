#include "Decimal.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace {

// "00" to "99".
constexpr auto kPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// As many bytes as asked and up to 15 more: most numbers are one fixed move.
char *copyWords(char *at, const char *from, std::size_t bytes)
{
    std::memcpy(at, from, 16);
    for (std::size_t i = 16; i < bytes; i += 8)
        std::memcpy(at + i, from + i, 8);
    return at + bytes;
}

char *zeros(char *at, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        at[i] = '0';
    return at + count;
}

} // namespace

Decimal Decimal::fromMagnitude(unsigned __int128 magnitude, bool negative, int scale)
{
    // Written backwards from the end.
    char buffer[kMostDigits];
    char *const end = buffer + kMostDigits;
    char *at = end;
    // Division of 128 bits is a call; most values fit 64, where it is a multiplication.
    while (magnitude > std::numeric_limits<std::uint64_t>::max()) {
        *--at = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    }
    auto small = static_cast<std::uint64_t>(magnitude);
    while (small >= 100) {
        at -= 2;
        std::memcpy(at, kPairs.data() + 2 * (small % 100), 2);
        small /= 100;
    }
    if (small >= 10) {
        at -= 2;
        std::memcpy(at, kPairs.data() + 2 * small, 2);
    } else {
        *--at = static_cast<char>('0' + small);
    }
    Decimal decimal;
    decimal.negative = negative;
    decimal.scale = scale;
    decimal.count = static_cast<std::uint8_t>(end - at);
    std::memcpy(decimal.digits.data(), at, decimal.count);
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
    // A word at a time: the first byte that is not '0' is the lowest bits that differ.
    std::size_t first = 0;
    for (; first < decimal.count; first += 8) {
        std::uint64_t word;
        std::memcpy(&word, decimal.digits.data() + first, 8);
        if (const std::uint64_t differ = word ^ 0x3030303030303030; differ != 0) {
            first += static_cast<std::size_t>(std::countr_zero(differ)) / 8;
            break;
        }
    }
    parts.first = std::min<std::size_t>(first, decimal.count);
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
    // Written and kept or not: the sign follows no pattern a branch could learn.
    *at = '-';
    at += negative && !parts.zero;
    if (parts.whole <= parts.first) {
        *at++ = '0';
    } else {
        at = copyWords(at, digits.data() + parts.first, parts.whole - parts.first);
        at = zeros(at, parts.trailing);
    }
    if (parts.fraction != 0) {
        *at++ = '.';
        at = zeros(at, parts.leading);
        at = copyWords(at, digits.data() + parts.whole, count - parts.whole);
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
