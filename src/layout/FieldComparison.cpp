#include "FieldComparison.h"

#include "RecordFields.h"

#include <algorithm>

namespace {

// B's row of A's row at: the same row where the shapes agree, else the one of that item and
// name.
const FieldRow *counterpart(const RecordFields &a, std::size_t at, const RecordFields &b,
                            bool aligned)
{
    if (aligned)
        return &b.rows()[at];
    const FieldRow &row = a.rows()[at];
    const auto found = std::ranges::find_if(b.rows(), [&row](const FieldRow &other) {
        return other.item == row.item && other.name == row.name;
    });
    return found == b.rows().end() ? nullptr : &*found;
}

std::string_view bytesOf(const FieldRow &row, std::string_view record)
{
    return row.offset < record.size() ? record.substr(row.offset, row.length) : std::string_view();
}

} // namespace

FieldComparison::FieldComparison(const RecordFields &a, std::string_view recordA,
                                 const RecordFields &b, std::string_view recordB)
    : m_a(a)
{
    const bool aligned = a.sameShape(b);
    for (const std::size_t at : a.standing()) {
        const FieldRow &row = a.rows()[at];
        const FieldRow *other = counterpart(a, at, b, aligned);
        const std::string_view mine = bytesOf(row, recordA);
        if (!other || other->length != row.length || bytesOf(*other, recordB) != mine)
            m_differing.push_back(at);
    }
}

std::string FieldComparison::summary() const
{
    const std::size_t count = m_differing.size();
    if (count == 0)
        return "No field differs";
    std::string text =
        std::to_string(count) + (count == 1 ? " field differs: " : " fields differ: ");
    for (std::size_t i = 0; i < std::min(count, kNamesShown); ++i)
        text += (i ? ", " : "") + m_a.rows()[m_differing[i]].name;
    return count > kNamesShown ? text + ", …" : text;
}

std::optional<std::size_t> FieldComparison::step(std::uint64_t offset, bool backwards) const
{
    const auto offsetOf = [this](std::size_t at) {
        return m_a.rows()[at].offset;
    };
    if (backwards) {
        // The last that starts before the field holding offset, or before offset itself.
        const std::optional<std::size_t> holder = m_a.rowHolding(offset);
        const std::uint64_t start = holder ? m_a.rows()[*holder].offset : offset;
        const auto after = std::ranges::lower_bound(m_differing, start, {}, offsetOf);
        if (after == m_differing.begin())
            return std::nullopt;
        return *std::prev(after);
    }
    const auto next = std::ranges::upper_bound(m_differing, offset, {}, offsetOf);
    if (next == m_differing.end())
        return std::nullopt;
    return *next;
}
