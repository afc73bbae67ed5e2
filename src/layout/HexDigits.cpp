#include "HexDigits.h"

#include <cstdint>

void HexDigits::append(std::string_view bytes, std::string &out)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char byte : bytes) {
        out += kHex[static_cast<std::uint8_t>(byte) >> 4];
        out += kHex[static_cast<std::uint8_t>(byte) & 0x0F];
    }
}
