#pragma once

#include <string>
#include <string_view>

// Code points of UTF-8 text.
class Utf8
{
public:
    // The code points of well-formed UTF-8; what is not well-formed is passed over.
    static std::u32string codePoints(std::string_view utf8);
};
