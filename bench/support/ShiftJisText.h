#pragma once

#include <cstddef>
#include <random>
#include <string>

// Shift-JIS text for benchmarks: letters, half-width katakana and kanji, mixed. Unless
// mappedOnly, some kanji rows hold pairs that code page 932 does not map.
inline void appendShiftJisCharacter(std::string &text, std::mt19937 &random,
                                    bool mappedOnly = false)
{
    switch (random() % 3) {
    case 0:
        text += static_cast<char>(0x20 + random() % 0x5F);
        break;
    case 1:
        text += static_cast<char>(0xA1 + random() % 0x3F);
        break;
    default:
        text += static_cast<char>(mappedOnly ? 0x89 + random() % 0x0F : 0x88 + random() % 0x17);
        text += static_cast<char>(0x40 + random() % 0x3F);
    }
}

// One record of exactly size bytes, without line ends.
inline std::string shiftJisRecord(std::size_t size)
{
    std::mt19937 random(7);
    std::string text;
    text.reserve(size + 1);
    while (text.size() < size)
        appendShiftJisCharacter(text, random);
    text.resize(size);
    return text;
}

// Lines of 5 to 30 characters ended by CR LF, size bytes in all.
inline std::string shiftJisLines(std::size_t size, bool mappedOnly = false)
{
    std::mt19937 random(1);
    std::string text;
    text.reserve(size + 64);
    while (text.size() < size) {
        for (auto characters = 5 + random() % 26; characters > 0; --characters)
            appendShiftJisCharacter(text, random, mappedOnly);
        text += "\r\n";
    }
    text.resize(size);
    return text;
}
