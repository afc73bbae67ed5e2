#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

// A run of a record's bytes that the view shows in a colour of its kind.
struct Mark
{
    enum class Kind : std::uint8_t { IllFormed, Unmapped, Shift, Hit, Difference };

    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    Kind kind = Kind::IllFormed;

    bool operator==(const Mark &) const = default;

    // "ill-formed", "unmapped", "shift", "hit", "difference".
    static std::string_view reason(Kind kind);
};

using MarkSink = std::function<void(const Mark &)>;
