#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

// A run of a record's bytes that a search found.
struct FindHit
{
    std::size_t record = 0; // from 0
    std::uint64_t offset = 0;
    std::uint64_t length = 0;

    auto operator<=>(const FindHit &) const = default;
};

// A place in the file to search from: a record (from 0) and an offset in it.
struct FindPlace
{
    std::size_t record = 0;
    std::uint64_t offset = 0;

    auto operator<=>(const FindPlace &) const = default;
};

// Told how many of the bytes to search are done; false stops the search.
using FindProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
