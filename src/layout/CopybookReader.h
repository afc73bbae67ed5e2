#pragma once

#include "Token.h"

#include <string_view>
#include <vector>

// Cuts copybook text into words, literals and periods. Reference format: columns 1 to 6 and 73
// on are not read, column 7 marks comments ("*", "/", "D") and continued literals ("-").
// Free format reads whole lines. ">>SOURCE FORMAT FREE" or "FIXED" switches between them;
// "*>" starts a comment in either.
class CopybookReader
{
public:
    enum class Format { Reference, Free };

    // Throws CopybookError. file, when given, names where the text came from in the tokens
    // and errors; it must outlive them.
    static std::vector<Token> read(std::string_view text, Format format,
                                   const std::string *file = nullptr);
};
