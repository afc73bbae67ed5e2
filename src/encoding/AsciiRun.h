#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

// Runs of bytes below 0x80, which every encoding that extends ASCII takes one byte a character
// and always maps: passed over eight at a time.
class AsciiRun
{
public:
    // The first byte at or after at that is 0x80 or above, or the record's end.
    static std::size_t end(std::string_view record, std::size_t at)
    {
        while (isAsciiWord(record, at))
            at += 8;
        while (at < record.size() && static_cast<std::uint8_t>(record[at]) < 0x80)
            ++at;
        return at;
    }

    // Whether the record has eight bytes from at, and all of them are below 0x80.
    static bool isAsciiWord(std::string_view record, std::size_t at)
    {
        constexpr std::uint64_t kHighBits = 0x8080808080808080;
        if (at + 8 > record.size())
            return false;
        std::uint64_t word;
        std::memcpy(&word, record.data() + at, sizeof word);
        return (word & kHighBits) == 0;
    }
};
