#include "RecordComparison.h"

#include "DifferingBytes.h"

#include <algorithm>

RecordComparison::RecordComparison(std::string_view a, std::string_view b)
    : m_a(a), m_b(b),
      m_differing(DifferingBytes::count(a, b, 0, commonLength()) + (length() - commonLength())),
      m_first(nextFrom(0))
{}

std::uint64_t RecordComparison::length() const
{
    return std::max(m_a.size(), m_b.size());
}

std::uint64_t RecordComparison::commonLength() const
{
    return std::min(m_a.size(), m_b.size());
}

// Past the common length every column differs.
std::uint64_t RecordComparison::nextFrom(std::uint64_t from) const
{
    if (from >= commonLength())
        return std::min(from, length());
    return DifferingBytes::first(m_a, m_b, from);
}

// A view draws a block at a time: equal bytes past the block are not its business, however
// many there are.
std::uint64_t RecordComparison::nextFrom(std::uint64_t from, std::uint64_t to) const
{
    const std::uint64_t end = std::min(to, commonLength());
    if (from < end)
        return DifferingBytes::first(m_a.substr(0, end), m_b.substr(0, end), from);
    return from >= commonLength() ? std::min(from, length()) : from;
}

std::optional<std::uint64_t> RecordComparison::nextDifference(std::uint64_t after) const
{
    const std::uint64_t next = nextFrom(after + 1);
    if (next >= length())
        return std::nullopt;
    return next;
}

std::optional<std::uint64_t> RecordComparison::previousDifference(std::uint64_t before) const
{
    before = std::min(before, length());
    if (before > commonLength())
        return before - 1;
    if (!DifferingBytes::last(m_a, m_b, before))
        return std::nullopt;
    return before;
}

std::vector<Mark> RecordComparison::differencesIn(std::uint64_t from, std::uint64_t to) const
{
    to = std::min(to, length());
    std::vector<Mark> marks;
    for (std::uint64_t at = nextFrom(from, to); at < to; at = nextFrom(at, to)) {
        std::uint64_t end = at + 1;
        while (end < to && (end >= commonLength() || m_a[end] != m_b[end]))
            ++end;
        marks.push_back({at, end - at, Mark::Kind::Difference});
        at = end;
    }
    return marks;
}

std::string RecordComparison::summary() const
{
    if (identical())
        return "identical";
    const bool one = m_differing == 1;
    return std::to_string(m_differing) + (one ? " byte differs" : " bytes differ") +
           ", first at offset " + std::to_string(m_first);
}
