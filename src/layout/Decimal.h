#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// An exact number: its digits, a sign and a scale; the value is digits * 10^-scale.
struct Decimal
{
    static constexpr std::size_t kMostDigits = 40;
    // Room past the digits, and past what writeTo() writes: digits move a word at a time.
    static constexpr std::size_t kSlack = 16;

    // '0' to '9', the most significant first; count of them
    std::array<char, kMostDigits + kSlack> digits{};
    std::uint8_t count = 0;
    bool negative = false;
    int scale = 0;

    // Empty, for the digits to come.
    void start(int newScale)
    {
        count = 0;
        negative = false;
        scale = newScale;
    }
    // Digits beyond kMostDigits are dropped; callers never have that many.
    void push(char digit)
    {
        if (count < kMostDigits)
            digits[count++] = digit;
    }
    static Decimal fromMagnitude(unsigned __int128 magnitude, bool negative, int scale);

    // As JSON writes it, every digit of the scale kept: "30.50", "-0.005", "12000"; zero has
    // no sign.
    void appendTo(std::string &out) const;
    // The same at `at`, when it holds at most kMostWritten characters (scales within the
    // digits do); the end of it.
    char *writeTo(char *at) const;
    bool writable() const;

    static constexpr std::size_t kMostWritten = 2 * kMostDigits + 4 + kSlack;
    // The whole number it is; nothing for a fraction or beyond 64 bits.
    std::optional<std::int64_t> integer() const;
};
