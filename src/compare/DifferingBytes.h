#pragma once

#include <cstdint>
#include <string_view>

// Where two byte strings differ, column by column over the bytes both have. Equal runs are
// passed over 64 bytes at a time with memcmp, so equal data costs what memory does.
class DifferingBytes
{
public:
    // The first column at or after from where a and b differ; their common length if none.
    static std::uint64_t first(std::string_view a, std::string_view b, std::uint64_t from);
    // The last column before before where a and b differ, or nothing (returned as before).
    static bool last(std::string_view a, std::string_view b, std::uint64_t &before);
    // How many columns of from .. to (within the common length) differ.
    static std::uint64_t count(std::string_view a, std::string_view b, std::uint64_t from,
                               std::uint64_t to);
};
