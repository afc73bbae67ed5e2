#pragma once

#include "FieldValue.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

struct Item;

// An item where it lies in one record, and what its bytes hold there.
struct FieldRow
{
    enum class State : std::uint8_t {
        Group,   // a group, table or RENAMES: no value of its own
        Value,   // decoded
        Absent,  // past a short record's end
        Invalid, // see reason
        TooLong, // too long to decode for the table
    };
    static constexpr std::size_t kNoParent = std::numeric_limits<std::size_t>::max();

    const Item *item = nullptr;
    std::size_t parent = kNoParent; // the row of the group or table it lies in
    std::uint16_t depth = 0;        // 0 for the record itself
    std::string name;               // with subscripts: "AMOUNT(2,1)"
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::string picture; // picture and usage: "S9(7)V99 COMP-3", "OCCURS 3", "RENAMES"
    std::string hex;     // of the first bytes, "…" after them when there are more
    std::string value;   // as text; empty unless State::Value
    State state = State::Group;
    FieldValue::Reason reason = FieldValue::Reason::None;
    std::vector<std::string> conditions; // the 88 levels that hold

    bool elementary() const { return state != State::Group; }
    // The value column: the value, "absent", "invalid: sign" or how long a field is, then the
    // 88 levels that hold: "H (IS-HEADER)".
    std::string shownValue() const;
    // "05", "66": as a copybook writes it.
    std::string level() const;
    // The row as a line of the Fields table copied: level, name, offset, length, picture, bytes
    // and value, apart by tabs.
    std::string tabSeparated() const;
};
