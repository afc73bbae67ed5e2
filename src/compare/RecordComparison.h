#pragma once

#include "Mark.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Two records' bytes, A's and B's, compared column by column. Where the lengths differ, the
// bytes beyond the shorter record differ too, against an empty side. The whole comparison
// is counted once; ranges and steps are found on demand, so a record of any size costs no
// memory beyond the two records.
class RecordComparison
{
public:
    // The bytes must outlive the comparison.
    RecordComparison(std::string_view a, std::string_view b);

    std::string_view a() const { return m_a; }
    std::string_view b() const { return m_b; }
    // The longer record's length: every column that either side has.
    std::uint64_t length() const;
    std::uint64_t differingBytes() const { return m_differing; }
    bool identical() const { return m_differing == 0; }
    // The first differing column, or length() when identical.
    std::uint64_t firstDifference() const { return m_first; }
    // The first differing column after after, or the last one before before.
    std::optional<std::uint64_t> nextDifference(std::uint64_t after) const;
    std::optional<std::uint64_t> previousDifference(std::uint64_t before) const;
    // The differing runs of columns from .. to, as marks of kind Difference.
    std::vector<Mark> differencesIn(std::uint64_t from, std::uint64_t to) const;
    // "17 bytes differ, first at offset 40", "1 byte differs, first at offset 0" or
    // "identical".
    std::string summary() const;

private:
    std::uint64_t commonLength() const;
    std::uint64_t nextFrom(std::uint64_t from) const;
    // The same, looking no further than before to.
    std::uint64_t nextFrom(std::uint64_t from, std::uint64_t to) const;

    std::string_view m_a;
    std::string_view m_b;
    std::uint64_t m_differing = 0;
    std::uint64_t m_first = 0;
};
