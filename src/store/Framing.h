#pragma once

#include <cstdint>
#include <stdexcept>

// How a file's bytes become records.
struct Framing
{
    enum class Kind { Lines, FixedLength, Rdw };

    static constexpr std::uint32_t kMostLength = 0x7FFFFFFF;

    // Records end at CR, LF or CR LF; the first NUL ends the file.
    static Framing lines() { return {}; }
    // Every length bytes make a record, the last may be shorter; any byte may occur.
    // Throws std::out_of_range outside 1 .. kMostLength.
    static Framing fixedLength(std::uint64_t length)
    {
        if (length < 1 || length > kMostLength)
            throw std::out_of_range("record length out of range");
        return {Kind::FixedLength, static_cast<std::uint32_t>(length)};
    }
    // Each record follows a 4-byte record descriptor word: a big-endian length that counts
    // those 4 bytes, then two zero bytes.
    static Framing rdw() { return {Kind::Rdw, 0}; }

    bool operator==(const Framing &) const = default;

    Kind kind = Kind::Lines;
    std::uint32_t length = 0; // of FixedLength only
};
