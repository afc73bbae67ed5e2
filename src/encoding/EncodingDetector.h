#pragma once

#include <string>
#include <string_view>

// Picks the catalog's encoding for a file's bytes: ICU's guess for the encodings that extend
// ASCII, and a look at the byte counts for EBCDIC, which ICU does not tell apart.
class EncodingDetector
{
public:
    struct Result
    {
        std::string name;    // the catalog's name; empty when nothing fits
        std::string details; // what was seen: "ICU: Shift_JIS, 100%", "EBCDIC spaces and SO/SI"
    };

    static Result detect(std::string_view bytes);
};
