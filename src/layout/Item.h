#pragma once

#include "Picture.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How an item's bytes hold its value.
enum class Usage : std::uint8_t {
    Display,
    Display1, // double-byte characters
    National, // UTF-16
    Binary,   // COMP, COMP-4, BINARY: big-endian, within the picture's digits
    Comp5,    // binary over the whole of its bytes
    Packed,   // COMP-3
    Comp1,
    Comp2,
    Index,
    Pointer,
    CompX, // unsigned big-endian binary, Micro Focus
};

// A bound of an 88 level's VALUE: a literal's characters, a number as written, or a
// figurative constant (SPACE, ZERO, HIGH-VALUE, LOW-VALUE, QUOTE) by its word.
struct ConditionValue
{
    std::string text;
    bool literal = false;
    bool all = false; // ALL literal: the literal repeated over the field
};

// An 88 level: its name and the values, or ranges of values, for which it holds.
struct Condition
{
    struct Range
    {
        ConditionValue from;
        std::optional<ConditionValue> thru;
    };
    std::string name;
    std::vector<Range> ranges;
};

// One data description entry of a copybook, with the entries under it.
struct Item
{
    int level = 0;
    std::string name; // as written; "FILLER" or empty for the items that have none
    int line = 0;
    int column = 0;
    const std::string *file = nullptr; // of its entry, when named
    std::string pictureText;           // as written
    std::optional<Picture> picture;
    Usage usage = Usage::Display; // the group's, where the entry gives none
    bool signLeading = false;
    bool signSeparate = false;
    bool sync = false;
    std::uint32_t occursMin = 0;
    std::uint32_t occursMax = 0;          // 0 without OCCURS
    std::vector<std::string> dependingOn; // the counter's name, then its qualifiers
    std::string redefines;
    std::string renamesFrom;
    std::string renamesThru;
    Item *parent = nullptr;
    std::vector<std::unique_ptr<Item>> children; // 88 levels are kept apart, in conditions
    std::vector<Condition> conditions;

    bool occurs() const { return occursMax != 0; }
    bool isGroup() const { return !children.empty(); }
    bool isFiller() const { return name.empty() || sameName(name, "FILLER"); }

    // COBOL names ignore case.
    static bool sameName(std::string_view a, std::string_view b);
    // Its canonical name, as a copybook may write it: "COMP-3" for PACKED-DECIMAL, "COMP" for
    // COMPUTATIONAL and COMP-4; empty for DISPLAY.
    static std::string_view usageName(Usage usage);
};
