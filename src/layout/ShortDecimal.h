#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

// A number of at most 16 digits held in a register, one character a byte, the most significant
// in the lowest: written without a loop or a branch that the digits steer.
struct ShortDecimal
{
    using Bytes = unsigned __int128;

    static constexpr std::size_t kMostDigits = 16;
    // Bytes writeTo() may store, past what it writes too.
    static constexpr std::size_t kMostWritten = 40;
    static constexpr Bytes kZeros = ~Bytes{0} / 0xFF * '0'; // '0' in every byte

    Bytes characters = kZeros; // past count: '0', or anything
    std::uint8_t count = 0;
    bool negative = false;

    // A whole number below 10^16 as 16 digits.
    static ShortDecimal ofMagnitude(std::uint64_t magnitude, bool negative)
    {
        constexpr std::uint32_t kHalf = 100'000'000;
        return {Bytes{eightDigits(static_cast<std::uint32_t>(magnitude / kHalf))} |
                    Bytes{eightDigits(static_cast<std::uint32_t>(magnitude % kHalf))} << 64,
                kMostDigits, negative};
    }

    // As Decimal writes it, for a scale from 0 to count; the end of it.
    char *writeTo(char *at, std::size_t scale) const
    {
        const std::size_t first = std::min<std::size_t>(firstNonZero(), count);
        const std::size_t whole = count - scale;
        const std::size_t start = std::min(first, whole);
        *at = '-';
        at += negative && first != count; // zero has no sign
        *at = '0';
        at += start == whole;
        at = store(at, from(start), whole - start);
        *at = '.';
        at += scale != 0;
        return store(at, from(whole), scale);
    }

private:
    // n below 10^8 as eight characters, the first in the lowest byte: split in halves of four
    // digits, then pairs, then digits, every lane at once; the divisions by 100 and by 10 are
    // multiplications that hold for what each lane can be.
    static std::uint64_t eightDigits(std::uint32_t n)
    {
        const std::uint64_t halves = (n / 10000) | std::uint64_t{n % 10000} << 32;
        const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007F;
        const std::uint64_t pairs = (halves - 100 * hundreds) << 16 | hundreds;
        const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
        return ((pairs - 10 * tens) << 8 | tens) + 0x3030303030303030;
    }
    std::size_t firstNonZero() const
    {
        const Bytes differ = characters ^ kZeros;
        const auto low = static_cast<std::uint64_t>(differ);
        const auto high = static_cast<std::uint64_t>(differ >> 64);
        if (low != 0)
            return static_cast<std::size_t>(std::countr_zero(low)) / 8;
        return 8 + static_cast<std::size_t>(std::countr_zero(high)) / 8; // 16 for none
    }
    Bytes from(std::size_t digit) const { return digit >= 16 ? 0 : characters >> (8 * digit); }
    static char *store(char *at, Bytes bytes, std::size_t length)
    {
        std::memcpy(at, &bytes, sizeof bytes);
        return at + length;
    }
};
