#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct FieldRow;
class RecordFields;

// Two records' fields against each other: which row of B is each row of A, and the standing
// fields of A whose bytes differ from the same field's in B, or that B does not have whole.
class FieldComparison
{
public:
    static constexpr std::size_t kNamesShown = 4;

    FieldComparison(const RecordFields &a, std::string_view recordA, const RecordFields &b,
                    std::string_view recordB);

    // B's row of A's row at: the same row where the shapes agree, else the one of that item
    // and name; nothing where B has none.
    const FieldRow *counterpart(std::size_t at) const;
    // A's rows, by offset.
    const std::vector<std::size_t> &differing() const { return m_differing; }
    // "3 fields differ: AMOUNT, STATUS, TOTAL", the first few named; "No field differs".
    std::string summary() const;
    // The differing row after the one that holds offset, or before it; nothing past the last.
    std::optional<std::size_t> step(std::uint64_t offset, bool backwards) const;

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    const RecordFields &m_a;
    const RecordFields &m_b;
    std::vector<std::size_t> m_counterparts; // B's row of each of A's, or kNone
    std::vector<std::size_t> m_differing;
};
