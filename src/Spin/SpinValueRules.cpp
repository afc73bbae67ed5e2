#include "SpinValueRules.h"

#include <algorithm>
#include <optional>

namespace SpinValueRules {
namespace {

constexpr std::uint64_t kDecimalLimit = 2147483648u; // magnitude of the most negative number
constexpr std::uint64_t kHexLimit = 0xFFFFFFFFu;

std::optional<unsigned> digitValue(char c, unsigned base)
{
    unsigned digit = base;
    if (c >= '0' && c <= '9')
        digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
        digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        digit = static_cast<unsigned>(c - 'A' + 10);
    if (digit >= base)
        return std::nullopt;
    return digit;
}

// At least one digit and nothing else; none of the values above limit.
std::optional<std::uint64_t> readDigits(std::string_view digits, unsigned base, std::uint64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const auto digit = digitValue(c, base);
        if (!digit)
            return std::nullopt;
        value = value * base + *digit;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

// Length of the hexadecimal prefix that starts text, 0 when there is none.
std::size_t hexPrefixLength(std::string_view text)
{
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
        return 1;
    if (text.starts_with("0x") || text.starts_with("0X"))
        return 2;
    return 0;
}

std::optional<std::int32_t> parse(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);

    std::optional<std::uint64_t> magnitude;
    if (const std::size_t prefix = hexPrefixLength(text)) {
        magnitude = readDigits(text.substr(prefix), 16, kHexLimit);
    } else {
        magnitude = readDigits(text, 10, negative ? kDecimalLimit : kDecimalLimit - 1);
    }
    if (!magnitude)
        return std::nullopt;
    // Hexadecimal is a bit pattern: $FFFFFFFF is -1, and a minus sign negates the pattern.
    const auto pattern = static_cast<std::uint32_t>(*magnitude);
    return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
}

} // namespace

std::int32_t ReadValue(std::string_view text, std::int32_t minValue)
{
    return parse(text).value_or(minValue);
}

std::int32_t ClampValue(std::int32_t n, std::int32_t minValue, std::int32_t maxValue)
{
    if (minValue == maxValue)
        return n;
    if (n < minValue)
        return minValue;
    if (n > maxValue)
        return maxValue;
    return n;
}

std::int32_t AddWrapping(std::int32_t n, std::int32_t delta)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n) +
                                     static_cast<std::uint32_t>(delta));
}

std::int32_t SubtractWrapping(std::int32_t n, std::int32_t delta)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n) -
                                     static_cast<std::uint32_t>(delta));
}

bool AcceptsChar(char32_t c, bool editorEnabled, char32_t decimalSeparator)
{
    constexpr char32_t kBackspace = 8;
    constexpr char32_t kCarriageReturn = 13;
    if (c < 32)
        return c != kCarriageReturn && (editorEnabled || c != kBackspace);
    const bool numeric = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == decimalSeparator;
    return editorEnabled && numeric;
}

} // namespace SpinValueRules
