#include "FileComparison.h"

#include "DifferingBytes.h"
#include "RecordComparison.h"

#include <algorithm>

namespace {

std::uint64_t offsetIn(const RecordStore &store, std::string_view record)
{
    return static_cast<std::uint64_t>(record.data() - store.bytes().data());
}

} // namespace

FileComparison::FileComparison(const RecordStore &a, const RecordStore &b) : m_a(a), m_b(b)
{}

std::size_t FileComparison::recordCount() const
{
    return std::max(m_a.count(), m_b.count());
}

std::size_t FileComparison::commonCount() const
{
    return std::min(m_a.count(), m_b.count());
}

std::optional<FileComparison::Difference> FileComparison::differenceAt(std::size_t index) const
{
    if (index >= recordCount())
        return std::nullopt;
    if (index >= m_b.count())
        return Difference{index, Difference::Side::OnlyA};
    if (index >= m_a.count())
        return Difference{index, Difference::Side::OnlyB};
    const auto at = static_cast<std::int64_t>(index);
    const RecordComparison comparison(m_a.record(at).bytes, m_b.record(at).bytes);
    if (comparison.identical())
        return std::nullopt;
    return Difference{index, Difference::Side::Both, comparison.firstDifference(),
                      comparison.differingBytes()};
}

// Both files hold the same bytes from where record index begins in each up to the first
// byte that differs; splitting the same bytes gives the same records, so every record that
// ends before that byte on both sides is equal. Returns the first record not known equal.
std::size_t FileComparison::pastEqualBytes(std::size_t index) const
{
    const auto at = static_cast<std::int64_t>(index);
    const std::uint64_t startA = offsetIn(m_a, m_a.record(at).bytes);
    const std::uint64_t startB = offsetIn(m_b, m_b.record(at).bytes);
    const std::string_view restA = m_a.bytes().substr(startA);
    const std::string_view restB = m_b.bytes().substr(startB);
    const std::uint64_t equal = DifferingBytes::first(restA, restB, 0);
    return std::min(m_a.recordAt(startA + equal), m_b.recordAt(startB + equal));
}

std::size_t FileComparison::firstUnequalFrom(std::size_t index) const
{
    while (index < commonCount()) {
        const std::size_t skipped = pastEqualBytes(index);
        if (skipped > index) {
            index = skipped;
            continue;
        }
        if (differenceAt(index))
            return index;
        ++index;
    }
    return index;
}

std::optional<FileComparison::Difference> FileComparison::next(std::size_t from) const
{
    const std::size_t index = firstUnequalFrom(from);
    return index < recordCount() ? differenceAt(index) : std::nullopt;
}

std::optional<FileComparison::Difference> FileComparison::previous(std::size_t before) const
{
    for (std::size_t index = std::min(before, recordCount()); index-- > 0;) {
        if (auto difference = differenceAt(index))
            return difference;
    }
    return std::nullopt;
}

void FileComparison::scan(std::size_t from,
                          const std::function<bool(const Difference &)> &visit) const
{
    for (auto difference = next(from); difference; difference = next(difference->record + 1)) {
        if (!visit(*difference))
            return;
    }
}

FileComparison::Counts FileComparison::counts() const
{
    Counts counts;
    scan(0, [&](const Difference &difference) {
        switch (difference.side) {
        case Difference::Side::Both:
            ++counts.differing;
            break;
        case Difference::Side::OnlyA:
            ++counts.onlyA;
            break;
        case Difference::Side::OnlyB:
            ++counts.onlyB;
            break;
        }
        return true;
    });
    return counts;
}
