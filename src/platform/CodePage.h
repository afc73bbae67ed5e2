#pragma once

#include <cstdint>
#include <vector>

// What the platform knows of a Windows code page's double-byte structure.
class CodePage
{
public:
    struct ByteRange
    {
        std::uint8_t low;
        std::uint8_t high;
    };

    // Inclusive lead-byte ranges; empty for a single-byte code page.
    static std::vector<ByteRange> leadByteRanges(int codePage);
};
