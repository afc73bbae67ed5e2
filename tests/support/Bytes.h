#pragma once

#include <initializer_list>
#include <string>

// A byte string written as numbers, for bytes that have no readable literal.
inline std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}
