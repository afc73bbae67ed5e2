#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A PICTURE character-string, read once: what the item holds and how many characters.
struct Picture
{
    enum class Category {
        Alphanumeric,  // X, A, and alphanumeric-edited
        Numeric,       // 9 S V P
        NumericEdited, // Z * , . + - CR DB B 0 / $ with 9 V P
        DoubleByte,    // G, or N
    };

    Category category = Category::Alphanumeric;
    std::uint32_t positions = 0; // characters the item shows; S, V and P take none
    int digits = 0;              // 9s, for numeric and numeric-edited
    int scale = 0;               // digits after the decimal point; negative for trailing Ps
    bool isSigned = false;
    bool national = false; // N rather than G
    std::string edit;      // numeric-edited: a symbol a position, CR as "Cc", DB as "Dd"

    // Throws std::invalid_argument with the reason.
    static Picture parse(std::string_view text);
};
