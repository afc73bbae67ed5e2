#pragma once

#include <string>
#include <string_view>

// A piece of copybook text with the place it began: line and column count from 1, columns
// after tabs are expanded.
struct Token
{
    enum class Kind { Word, Literal, Period };

    Kind kind = Kind::Word;
    std::string text; // a literal's characters without its quotes
    int line = 0;
    int column = 0;
    const std::string *file = nullptr; // where the text came from, when it was named

    bool isWord(std::string_view upper) const;
};
