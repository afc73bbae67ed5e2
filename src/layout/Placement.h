#pragma once

#include <cstdint>

struct Item;

// Where an item lies in one record. A table (an OCCURS item) comes first as a whole, then each
// occurrence one level deeper; a group's items follow it one level deeper.
struct Placement
{
    enum class Kind : std::uint8_t { Item, Table };

    const Item *item = nullptr;
    std::uint32_t number = 0; // the item's, in the order of the entries
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t occurrence = 0; // from 1 within its table; 0 outside one
    std::uint32_t count = 0;      // a table's occurrences in this record
    std::uint16_t depth = 0;      // 0 for the record itself
    Kind kind = Kind::Item;
    bool counterOutOfRange = false; // a counter whose value its table cannot take
};
