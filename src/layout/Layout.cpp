#include "Layout.h"

#include "CopybookError.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint64_t roundUp(std::uint64_t value, std::uint32_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// Bytes whose bits hold 10^digits - 1, with a sign bit or without.
std::uint32_t bytesFor(int digits, bool sign)
{
    const auto bits = static_cast<std::uint32_t>(std::ceil(digits * std::log2(10.0))) + sign;
    return (bits + 7) / 8;
}

[[noreturn]] void fail(const Item &item, const std::string &what)
{
    throw CopybookError((item.name.empty() ? std::string("FILLER") : item.name) + ": " + what,
                        item.line, item.column, item.file);
}

// Placements of the largest extent, counted before they are made.
std::uint64_t placementsOf(const Item &item)
{
    constexpr std::uint64_t kMost = Layout::kMostPlacements;
    std::uint64_t one = 1;
    for (const auto &child : item.children) {
        one += placementsOf(*child);
        if (one > kMost)
            fail(item, "more than 4000000 items and occurrences in the record");
    }
    if (!item.occurs())
        return one;
    if (one > kMost / item.occursMax)
        fail(item, "more than 4000000 items and occurrences in the record");
    return 1 + one * item.occursMax;
}

} // namespace

// Lays out one record, or with no record every item at its largest extent.
class Layout::Placer
{
public:
    Placer(const Layout &layout, std::optional<std::string_view> record, const CounterReader *read,
           std::vector<Placement> &out)
        : m_layout(layout), m_record(record), m_read(read), m_out(out),
          m_latest(layout.m_items.size(), -1)
    {}

    void run()
    {
        m_out.clear();
        item(m_layout.m_record, 0, 0, 0);
        for (const auto &child : m_layout.m_record.children) {
            if (child->level == 66)
                renames(*child);
        }
    }

private:
    std::uint64_t item(const Item &item, std::uint64_t offset, std::uint16_t depth,
                       std::uint32_t occurrence)
    {
        const std::size_t index = m_out.size();
        m_out.push_back({&item, m_layout.info(item).number, static_cast<std::uint32_t>(offset), 0,
                         occurrence, 0, depth, Placement::Kind::Item, false});
        std::uint64_t length = item.isGroup() ? group(item, offset, depth) : elementLength(item);
        if (item.occurs())
            length = roundUp(length, m_layout.info(item).alignment);
        checkLength(item, offset + length);
        m_latest[m_layout.info(item).number] = static_cast<std::int64_t>(index);
        m_out[index].length = static_cast<std::uint32_t>(length);
        return length;
    }

    std::uint64_t group(const Item &group, std::uint64_t offset, std::uint16_t depth)
    {
        std::uint64_t end = offset;
        for (const auto &child : group.children) {
            if (child->level == 66)
                continue;
            std::uint64_t start = end;
            if (const Item *redefined = m_layout.info(*child).redefined)
                start = m_out[static_cast<std::size_t>(m_latest[m_layout.info(*redefined).number])]
                            .offset;
            else if (!child->isGroup())
                start = roundUp(start, alignmentOf(*child));
            const std::uint64_t length = child->occurs() ? table(*child, start, depth + 1)
                                                         : item(*child, start, depth + 1, 0);
            end = std::max(end, start + length);
        }
        return end - offset;
    }

    std::uint64_t table(const Item &table, std::uint64_t offset, std::uint16_t depth)
    {
        const std::uint32_t count = occurrences(table);
        const std::size_t index = m_out.size();
        m_out.push_back({&table, m_layout.info(table).number, static_cast<std::uint32_t>(offset), 0,
                         0, count, depth, Placement::Kind::Table, false});
        std::uint64_t cursor = offset;
        for (std::uint32_t k = 1; k <= count; ++k)
            cursor += item(table, cursor, depth + 1, k);
        checkLength(table, cursor);
        m_out[index].length = static_cast<std::uint32_t>(cursor - offset);
        return cursor - offset;
    }

    // The counter's value, brought within the table's range; out of it, the counter says so.
    std::uint32_t occurrences(const Item &table)
    {
        const Item *counter = m_layout.info(table).counter;
        if (!counter || !m_record)
            return table.occursMax;
        // A counter in a table that has no occurrence here is not in the record at all.
        const std::int64_t index = m_latest[m_layout.info(*counter).number];
        if (index < 0)
            return table.occursMin;
        Placement &placed = m_out[static_cast<std::size_t>(index)];
        if (std::uint64_t{placed.offset} + placed.length > m_record->size())
            return table.occursMin;
        const std::optional<std::int64_t> value =
            (*m_read)(m_record->substr(placed.offset, placed.length), *counter);
        if (value && *value >= table.occursMin && *value <= table.occursMax)
            return static_cast<std::uint32_t>(*value);
        placed.counterOutOfRange = true;
        return value && *value < table.occursMin ? table.occursMin : table.occursMax;
    }

    void renames(const Item &alias)
    {
        const Info &info = m_layout.info(alias);
        const Placement &from = latest(*info.renamesFrom);
        const Placement &thru = latest(info.renamesThru ? *info.renamesThru : *info.renamesFrom);
        const std::uint32_t end = std::max(from.offset + from.length, thru.offset + thru.length);
        m_out.push_back({&alias, info.number, from.offset, end - from.offset, 0, 0, 1,
                         Placement::Kind::Item, false});
    }

    const Placement &latest(const Item &item) const
    {
        return m_out[static_cast<std::size_t>(m_latest[m_layout.info(item).number])];
    }

    static void checkLength(const Item &item, std::uint64_t end)
    {
        if (end > kMostLength)
            fail(item, "the record would be longer than 2147483647 bytes");
    }

    const Layout &m_layout;
    std::optional<std::string_view> m_record;
    const CounterReader *m_read;
    std::vector<Placement> &m_out;
    std::vector<std::int64_t> m_latest; // the last placement of each item, by number
};

Layout::Layout(const Item &record) : m_record(record)
{
    survey(record, false);
    for (const Item *item : m_items)
        resolve(*item);
    placementsOf(record);
    Placer(*this, std::nullopt, nullptr, m_largest).run();
}

void Layout::place(std::string_view record, const CounterReader &read,
                   std::vector<Placement> &out) const
{
    if (!m_variable) {
        out = m_largest;
        return;
    }
    Placer(*this, record, &read, out).run();
}

// Numbers the items, notes which redefine or are redefined, and what each must align to.
void Layout::survey(const Item &item, bool redefinition)
{
    Info &info = m_info[&item];
    info.number = static_cast<std::uint32_t>(m_items.size());
    info.redefinition = redefinition || !item.redefines.empty();
    m_items.push_back(&item);
    // Few items redefine: their targets' names, looked through for each item.
    std::vector<std::string_view> targets;
    for (const auto &child : item.children) {
        if (!child->redefines.empty())
            targets.push_back(child->redefines);
    }
    for (const auto &child : item.children) {
        const bool redefined =
            !child->name.empty() && std::ranges::any_of(targets, [&](std::string_view target) {
                return Item::sameName(target, child->name);
            });
        survey(*child, info.redefinition || redefined);
        m_info[&item].alignment =
            std::max(m_info[&item].alignment,
                     child->isGroup() ? m_info[child.get()].alignment : alignmentOf(*child));
    }
}

void Layout::resolve(const Item &item)
{
    Info &info = m_info[&item];
    if (!item.dependingOn.empty()) {
        const Item &counter = find(item.dependingOn, item);
        const Info &counterInfo = m_info[&counter];
        if (counter.isGroup() || !counter.picture ||
            counter.picture->category != Picture::Category::Numeric)
            fail(item, "the counter " + counter.name + " is not a number");
        bool inside = false;
        for (const Item *above = &counter; above; above = above->parent)
            inside = inside || above == &item;
        if (inside || counterInfo.number > info.number)
            fail(item, "the counter " + counter.name + " must come before its table");
        info.counter = &counter;
        m_variable = true;
    }
    if (!item.redefines.empty()) {
        if (!item.parent)
            fail(item, "a record cannot redefine another here");
        for (const auto &sibling : item.parent->children) {
            if (sibling.get() == &item)
                break;
            if (Item::sameName(sibling->name, item.redefines) && sibling->redefines.empty())
                info.redefined = sibling.get();
        }
        if (!info.redefined)
            fail(item, "no item " + item.redefines + " before it to redefine");
        if (info.redefined->occurs())
            fail(item, "REDEFINES of a table");
    }
    if (item.level == 66) {
        info.renamesFrom = &find({item.renamesFrom}, item);
        if (!item.renamesThru.empty())
            info.renamesThru = &find({item.renamesThru}, item);
        if (info.renamesThru && m_info[info.renamesThru].number < m_info[info.renamesFrom].number)
            fail(item, "RENAMES THRU an item before the first");
        for (const Item *renamed : {info.renamesFrom, info.renamesThru}) {
            for (const Item *above = renamed; above; above = above->parent) {
                if (above->occurs())
                    fail(item, "RENAMES of an item in a table");
            }
        }
    }
}

// The item called qualified[0], within the items called qualified[1], qualified[2], ...
const Item &Layout::find(const std::vector<std::string> &qualified, const Item &near) const
{
    const Item *found = nullptr;
    for (const Item *item : m_items) {
        if (item->level == 66 || !Item::sameName(item->name, qualified.front()))
            continue;
        std::size_t next = 1;
        for (const Item *above = item->parent; above && next < qualified.size();
             above = above->parent) {
            if (Item::sameName(above->name, qualified[next]))
                ++next;
        }
        if (next < qualified.size())
            continue;
        if (found)
            fail(near, qualified.front() + " is not unique; qualify it with OF");
        found = item;
    }
    if (!found)
        fail(near, "no item " + qualified.front() + " in the record");
    return *found;
}

std::uint64_t Layout::elementLength(const Item &item)
{
    const Picture *picture = item.picture ? &*item.picture : nullptr;
    switch (item.usage) {
    case Usage::Display:
        if (picture->category == Picture::Category::DoubleByte)
            return std::uint64_t{picture->positions} * 2;
        return std::uint64_t{picture->positions} + (item.signSeparate ? 1 : 0);
    case Usage::Display1:
    case Usage::National:
        return std::uint64_t{picture->positions} * 2;
    case Usage::Binary:
    case Usage::Comp5:
        return binaryLength(picture->digits);
    case Usage::Packed:
        return static_cast<std::uint64_t>(picture->digits / 2 + 1);
    case Usage::Comp1:
    case Usage::Index:
    case Usage::Pointer:
        return 4;
    case Usage::Comp2:
        return 8;
    case Usage::CompX:
        return picture->category == Picture::Category::Numeric ? bytesFor(picture->digits, false)
                                                               : picture->positions;
    }
    return 0;
}

std::uint32_t Layout::alignmentOf(const Item &item)
{
    if (!item.sync || item.isGroup())
        return 1;
    switch (item.usage) {
    case Usage::Binary:
    case Usage::Comp5:
    case Usage::Comp1:
    case Usage::Index:
    case Usage::Pointer:
    case Usage::Comp2:
        // On its own length, as far as a doubleword.
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(elementLength(item), 8));
    default:
        return 1;
    }
}

std::uint32_t Layout::binaryLength(int digits)
{
    if (digits <= 4)
        return 2;
    if (digits <= 9)
        return 4;
    if (digits <= 18)
        return 8;
    return bytesFor(digits, true);
}
