#pragma once

#include <cstdint>
#include <string_view>

// A character as an encoding's converter decodes it.
struct Glyph
{
    std::string_view utf8;  // the decoded text; empty when the converter cannot map the unit
    std::uint8_t width = 0; // display cells, 1 or 2 when it can stand in the dump, else 0
    bool mapped = false;

    bool printable() const { return width != 0; }
};
