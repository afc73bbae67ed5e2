#pragma once

#include <string>

// Code points written out as UTF-8, for every text that leaves a converter.
class Utf8Writer
{
public:
    static void append(std::string &out, char32_t codePoint);
};
