#pragma once

#include <cstdint>

// What Unicode and the C library say of a code point, as far as showing it in a grid goes.
class CharacterProperties
{
public:
    // Display cells: 1 or 2 for a character that can stand in the dump, 0 for one that
    // cannot (controls, format characters, surrogates, private use, unassigned code points,
    // line and paragraph separators, combining and other zero-width or undefined widths).
    static std::uint8_t printableWidth(char32_t codePoint);
};
