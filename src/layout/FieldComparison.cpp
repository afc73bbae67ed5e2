#include "FieldComparison.h"

#include "RecordFields.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace {

std::string_view bytesOf(const FieldRow &row, std::string_view record)
{
    return row.offset < record.size() ? record.substr(row.offset, row.length) : std::string_view();
}

} // namespace

FieldComparison::FieldComparison(const RecordFields &a, std::string_view recordA,
                                 const RecordFields &b, std::string_view recordB)
    : m_a(a), m_b(b), m_counterparts(a.rows().size(), kNone)
{
    if (a.sameShape(b)) {
        std::iota(m_counterparts.begin(), m_counterparts.end(), std::size_t{0});
    } else {
        std::map<std::pair<const Item *, std::string_view>, std::size_t> rowsOfB;
        for (std::size_t at = 0; at < b.rows().size(); ++at)
            rowsOfB.emplace(std::pair{b.rows()[at].item, std::string_view(b.rows()[at].name)}, at);
        for (std::size_t at = 0; at < a.rows().size(); ++at) {
            const auto found = rowsOfB.find({a.rows()[at].item, a.rows()[at].name});
            if (found != rowsOfB.end())
                m_counterparts[at] = found->second;
        }
    }
    for (const std::size_t at : a.standing()) {
        const FieldRow &row = a.rows()[at];
        const FieldRow *other = counterpart(at);
        const std::string_view mine = bytesOf(row, recordA);
        if (!other || other->length != row.length || bytesOf(*other, recordB) != mine)
            m_differing.push_back(at);
    }
}

const FieldRow *FieldComparison::counterpart(std::size_t at) const
{
    const std::size_t other = m_counterparts.at(at);
    return other == kNone ? nullptr : &m_b.rows()[other];
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
