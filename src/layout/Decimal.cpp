#include "Decimal.h"

#include <algorithm>
#include <limits>

Decimal Decimal::fromMagnitude(unsigned __int128 magnitude, bool negative, int scale)
{
    std::array<char, kMostDigits> reversed{};
    std::uint8_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
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
    if (negative && !zero)
        out += '-';
    const auto integerDigits = static_cast<std::ptrdiff_t>(count) - std::max(scale, 0);
    if (integerDigits <= static_cast<std::ptrdiff_t>(first)) {
        out += '0';
    } else {
        out.append(digits.data() + first, digits.data() + integerDigits);
        if (scale < 0 && !zero)
            out.append(static_cast<std::size_t>(-scale), '0');
    }
    if (scale <= 0)
        return;
    out += '.';
    const auto fraction = static_cast<std::size_t>(scale);
    if (fraction > count)
        out.append(fraction - count, '0');
    const std::size_t from = count > fraction ? count - fraction : 0;
    out.append(digits.data() + from, digits.data() + count);
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
