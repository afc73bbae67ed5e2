#pragma once

#include <string>
#include <string_view>

// Bytes as upper-case hex digits, two a byte: how layouts show what a field holds.
struct HexDigits
{
    static void append(std::string_view bytes, std::string &out);
};
