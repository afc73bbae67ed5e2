#pragma once

#include <cstdint>
#include <string>

// A field's bytes as the dump shows them: a light background of its own, alternating with its
// neighbours', or the mark colour when its value is invalid.
struct FieldBand
{
    enum class Kind : std::uint8_t { Even, Odd, Invalid };

    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    Kind kind = Kind::Even;
    std::string label; // the field's name

    bool operator==(const FieldBand &) const = default;
};
