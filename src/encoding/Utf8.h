#pragma once

#include <string>
#include <string_view>

// The UTF-8 form of code points, for text that leaves the encodings as UTF-8.
class Utf8
{
public:
    static void append(std::string &out, char32_t codePoint);
    // The code points of well-formed UTF-8; what is not well-formed is passed over.
    static std::u32string codePoints(std::string_view utf8);
};
