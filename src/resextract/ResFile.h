#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A compiled resource file (.res) as windres and rc write it: resource headers, each followed
// by its data, every entry aligned to 4 bytes.
class ResFile
{
public:
    static constexpr std::uint16_t kVersionType = 16;

    // The data of the first resource whose type is the number type, or nothing when there is
    // none or the entries stop making sense before one is found.
    static std::optional<std::string_view> find(std::string_view res, std::uint16_t type);
};
