#include "DifferingBytes.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint64_t kChunk = 64;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;

std::uint64_t commonLength(std::string_view a, std::string_view b)
{
    return std::min(a.size(), b.size());
}

bool chunkEqual(const char *a, const char *b, std::uint64_t length)
{
    return std::memcmp(a, b, length) == 0;
}

std::uint64_t word(const char *at)
{
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The bytes of x that are not zero.
int nonZeroBytes(std::uint64_t x)
{
    const std::uint64_t highBitOfNonZero = ((x & kLow7) + kLow7) | x;
    return std::popcount(highBitOfNonZero & ~kLow7);
}

} // namespace

std::uint64_t DifferingBytes::first(std::string_view a, std::string_view b, std::uint64_t from)
{
    const std::uint64_t end = commonLength(a, b);
    std::uint64_t at = std::min(from, end);
    while (at + kChunk <= end && chunkEqual(a.data() + at, b.data() + at, kChunk))
        at += kChunk;
    while (at < end && a[at] == b[at])
        ++at;
    return at;
}

bool DifferingBytes::last(std::string_view a, std::string_view b, std::uint64_t &before)
{
    std::uint64_t at = std::min(before, commonLength(a, b));
    while (at >= kChunk && chunkEqual(a.data() + at - kChunk, b.data() + at - kChunk, kChunk))
        at -= kChunk;
    while (at > 0 && a[at - 1] == b[at - 1])
        --at;
    if (at == 0)
        return false;
    before = at - 1;
    return true;
}

std::uint64_t DifferingBytes::count(std::string_view a, std::string_view b, std::uint64_t from,
                                    std::uint64_t to)
{
    to = std::min(to, commonLength(a, b));
    std::uint64_t differing = 0;
    for (std::uint64_t at = first(a, b, from); at < to; at = first(a, b, at)) {
        const std::uint64_t words = std::min(kChunk, to - at) / sizeof(std::uint64_t);
        for (std::uint64_t i = 0; i < words; ++i, at += sizeof(std::uint64_t))
            differing += nonZeroBytes(word(a.data() + at) ^ word(b.data() + at));
        if (words == 0) {
            differing += a[at] != b[at];
            ++at;
        }
    }
    return differing;
}
