#pragma once

#include <cstdint>
#include <string>

class CompareDump;

// The status line's words on one column of two compared records: each side's byte there as
// the status line tells of a single record's, or that the side has no such byte.
class CompareByteDescription
{
public:
    // "A: <A's byte>   B: <B's byte>".
    static std::string of(const CompareDump &compare, std::uint64_t offset);
};
