#pragma once

#include "Item.h"
#include "Placement.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

// The offsets and lengths of a record's items. Without DEPENDING ON every record is laid out
// alike; with it, each record by its own counters. Offsets count from the record's start,
// where SYNC items are aligned from.
class Layout
{
public:
    // A counter's value from its bytes; nothing when they hold no number.
    using CounterReader =
        std::function<std::optional<std::int64_t>(std::string_view bytes, const Item &counter)>;

    static constexpr std::uint32_t kMostLength = 0x7FFFFFFF;
    static constexpr std::size_t kMostPlacements = 4'000'000;

    // Throws CopybookError for names that do not resolve and layouts beyond the limits above.
    explicit Layout(const Item &record);

    const Item &record() const { return m_record; }
    // Every item at its largest extent: all occurrences, REDEFINES and RENAMES included.
    const std::vector<Placement> &largest() const { return m_largest; }
    std::uint32_t largestLength() const { return m_largest.front().length; }
    bool variable() const { return m_variable; }
    // Items are numbered from 0 in the order of their entries, the record first.
    std::size_t itemCount() const { return m_items.size(); }
    // The placements of one record: largest() unless variable(). A counter past the record's
    // end counts its least; one out of its table's range, or holding no number, is brought
    // within it and marked.
    void place(std::string_view record, const CounterReader &read,
               std::vector<Placement> &out) const;
    // Whether the item and the items above it neither redefine nor are redefined.
    bool standsAlone(const Item &item) const { return !info(item).redefinition; }
    // The item that item's REDEFINES names; nothing without one.
    const Item *redefined(const Item &item) const { return info(item).redefined; }

    // Bytes of an elementary item; alignment of a SYNC one (1 for the others).
    static std::uint64_t elementLength(const Item &item);
    static std::uint32_t alignmentOf(const Item &item);
    // Bytes of binary of the given digits: 2, 4, 8, then the fewest whose signed range holds
    // them.
    static std::uint32_t binaryLength(int digits);

private:
    struct Info
    {
        std::uint32_t number = 0;          // in the order of the entries
        std::uint32_t alignment = 1;       // the largest of the SYNC items within
        const Item *counter = nullptr;     // of DEPENDING ON
        const Item *redefined = nullptr;   // of REDEFINES
        const Item *renamesFrom = nullptr; // of a 66 level
        const Item *renamesThru = nullptr;
        bool redefinition = false;
    };
    class Placer;

    const Info &info(const Item &item) const { return m_info.at(&item); }
    void survey(const Item &item, bool redefinition);
    void resolve(const Item &item);
    const Item &find(const std::vector<std::string> &qualified, const Item &near) const;

    const Item &m_record;
    std::unordered_map<const Item *, Info> m_info;
    std::vector<const Item *> m_items; // by number
    bool m_variable = false;
    std::vector<Placement> m_largest;
};
