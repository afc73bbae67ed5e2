#pragma once

#include <cstdint>
#include <string_view>

// What a field's bytes gave: the kind of value written out, or why there is none.
struct FieldValue
{
    enum class Kind : std::uint8_t {
        Number,  // JSON number text
        Text,    // UTF-8, to be quoted
        Hex,     // upper-case hex digits, to be quoted
        Null,    // a float that is NaN or infinite
        Invalid, // nothing written; see reason
    };
    enum class Reason : std::uint8_t { None, Digit, Sign, Zone, Unmapped, Range, Edited, Counter };

    Kind kind = Kind::Invalid;
    Reason reason = Reason::None;

    static FieldValue invalid(Reason reason) { return {Kind::Invalid, reason}; }
    bool valid() const { return kind != Kind::Invalid; }

    static std::string_view reasonName(Reason reason)
    {
        constexpr std::string_view kNames[] = {"",         "digit", "sign",   "zone",
                                               "unmapped", "range", "edited", "counter"};
        return kNames[static_cast<int>(reason)];
    }
};
