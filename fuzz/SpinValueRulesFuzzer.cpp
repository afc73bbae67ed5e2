// The spin edit's parse and limiting rules against a plain reading of them in 64-bit numbers.
#include "SpinValueRules.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

int digitOf(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

std::int64_t referenceRead(std::string_view text, std::int32_t minValue)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    int base = 10;
    if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X')) {
        base = 16;
        at += 1;
    } else if (at + 1 < text.size() && text[at] == '0' &&
               (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at == text.size())
        return minValue;
    std::int64_t value = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitOf(text[at]);
        if (digit >= base)
            return minValue;
        value = value * base + digit;
        if (value > 0xFFFFFFFFll)
            return minValue;
    }
    if (base == 16) {
        const std::int64_t pattern = value >= 0x80000000ll ? value - 0x100000000ll : value;
        if (!negative)
            return pattern;
        return pattern == INT32_MIN ? pattern : -pattern;
    }
    value = negative ? -value : value;
    return value < INT32_MIN || value > INT32_MAX ? minValue : value;
}

std::int64_t referenceClamp(std::int64_t n, std::int64_t minValue, std::int64_t maxValue)
{
    if (minValue == maxValue)
        return n;
    if (n < minValue)
        return minValue;
    return n > maxValue ? maxValue : n;
}

std::int64_t wrapped(std::int64_t n)
{
    const std::int64_t low = n & 0xFFFFFFFFll;
    return low >= 0x80000000ll ? low - 0x100000000ll : low;
}

std::int32_t take(const std::uint8_t *&data)
{
    std::int32_t value;
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    return value;
}

} // namespace

// Three numbers (the bounds and a value), then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 12)
        return 0;
    const std::int32_t minValue = take(data);
    const std::int32_t maxValue = take(data);
    const std::int32_t n = take(data);
    const std::string_view text(reinterpret_cast<const char *>(data), size - 12);

    const std::int32_t read = SpinValueRules::ReadValue(text, minValue);
    check(read == referenceRead(text, minValue), "parse");

    const std::int32_t clamped = SpinValueRules::ClampValue(n, minValue, maxValue);
    check(clamped == referenceClamp(n, minValue, maxValue), "limit");
    // What the setter writes reads back as the number written.
    check(SpinValueRules::ReadValue(std::to_string(clamped), minValue) == clamped, "round trip");

    check(SpinValueRules::AddWrapping(read, n) == wrapped(std::int64_t{read} + n), "add");
    const std::int64_t difference = std::int64_t{read} - n;
    check(SpinValueRules::SubtractWrapping(read, n) == wrapped(difference), "subtract");
    return 0;
}
