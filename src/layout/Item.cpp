#include "Item.h"

#include <algorithm>
#include <cctype>

bool Item::sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

std::string_view Item::usageName(Usage usage)
{
    switch (usage) {
    case Usage::Display:
        return "";
    case Usage::Display1:
        return "DISPLAY-1";
    case Usage::National:
        return "NATIONAL";
    case Usage::Binary:
        return "COMP";
    case Usage::Comp5:
        return "COMP-5";
    case Usage::Packed:
        return "COMP-3";
    case Usage::Comp1:
        return "COMP-1";
    case Usage::Comp2:
        return "COMP-2";
    case Usage::Index:
        return "INDEX";
    case Usage::Pointer:
        return "POINTER";
    case Usage::CompX:
        return "COMP-X";
    }
    return "";
}
