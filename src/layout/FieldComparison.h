#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RecordFields;

// Two records' fields against each other: the standing fields of A whose bytes differ from the
// same field's in B, or that B does not have whole.
class FieldComparison
{
public:
    static constexpr std::size_t kNamesShown = 4;

    FieldComparison(const RecordFields &a, std::string_view recordA, const RecordFields &b,
                    std::string_view recordB);

    // A's rows, by offset.
    const std::vector<std::size_t> &differing() const { return m_differing; }
    // "3 fields differ: AMOUNT, STATUS, TOTAL", the first few named; "No field differs".
    std::string summary() const;
    // The differing row after the one that holds offset, or before it; nothing past the last.
    std::optional<std::size_t> step(std::uint64_t offset, bool backwards) const;

private:
    const RecordFields &m_a;
    std::vector<std::size_t> m_differing;
};
