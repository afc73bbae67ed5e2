#pragma once

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

// Writes count copies of bytes to path without holding them all in memory.
inline void writeRepeated(const std::string &path, const std::string &bytes, std::size_t count)
{
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < count; ++i)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The byte at offset i of the big record: printable ASCII in a run that no block repeats, so
// that every character row and digit row says where it came from.
inline char patternByte(std::size_t i)
{
    return static_cast<char>(0x20 + (i * 7 + i / 95) % 95);
}

// One record of size bytes of the pattern, with no line end.
inline void writePatternRecord(const std::string &path, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    for (std::size_t at = 0; at < size; at += chunk.size()) {
        const std::size_t count = std::min(chunk.size(), size - at);
        for (std::size_t i = 0; i < count; ++i)
            chunk[i] = patternByte(at + i);
        out.write(chunk.data(), static_cast<std::streamsize>(count));
    }
}

// The digit rows of the pattern's block at offset begin.
inline std::string patternDigits(std::size_t begin, std::size_t end, int shift)
{
    std::string row = "      |";
    for (std::size_t i = begin; i < end; ++i)
        row += "0123456789ABCDEF"[(static_cast<unsigned char>(patternByte(i)) >> shift) & 0xF];
    return row;
}
