#pragma once

#include <cstdint>

// How the dump cuts a field's bytes into characters.
struct FieldCut
{
    enum class Kind : std::uint8_t {
        Text,       // by the encoding's own rules, from the field's first byte
        DoubleByte, // pairs of the EBCDIC pages' double-byte half, with no SO or SI
        Opaque,     // a byte a character: packed, binary, float and UTF-16 bytes
    };

    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    Kind kind = Kind::Text;

    bool operator==(const FieldCut &) const = default;
};
