#include "FileComparison.h"

#include "DifferingBytes.h"
#include "RdwSplitter.h"
#include "RecordComparison.h"

#include <algorithm>

namespace {

std::uint64_t offsetIn(const RecordStore &store, std::string_view record)
{
    return static_cast<std::uint64_t>(record.data() - store.bytes().data());
}

// Where the bytes that frame record index and those after it begin: under RDW its descriptor
// word, whose length places every record after it.
std::uint64_t frameStart(const RecordStore &store, std::size_t index)
{
    const std::uint64_t start =
        offsetIn(store, store.record(static_cast<std::int64_t>(index)).bytes);
    return store.framing().kind == Framing::Kind::Rdw ? start - RdwSplitter::kRdwBytes : start;
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

void FileComparison::throwIfChanged() const
{
    m_a.throwIfChanged();
    m_b.throwIfChanged();
}

std::optional<FileComparison::Difference> FileComparison::differenceAt(std::size_t index) const
{
    auto difference = compared(index);
    throwIfChanged();
    return difference;
}

std::optional<FileComparison::Difference> FileComparison::compared(std::size_t index) const
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

// Both files hold the same bytes from where record index's frame begins in each up to the
// first byte that differs; framing the same bytes gives the same records, so every record
// that ends before that byte on both sides is equal. Returns the first record not known equal.
std::size_t FileComparison::pastEqualBytes(std::size_t index) const
{
    if (m_a.framing() != m_b.framing())
        return index;
    const std::uint64_t startA = frameStart(m_a, index);
    const std::uint64_t startB = frameStart(m_b, index);
    const std::string_view restA = m_a.bytes().substr(startA);
    const std::string_view restB = m_b.bytes().substr(startB);
    const std::uint64_t equal = DifferingBytes::first(restA, restB, 0);
    return std::min(m_a.recordAt(startA + equal), m_b.recordAt(startB + equal));
}

// The same backwards, from where record index begins in both files: line ends and fixed
// lengths place a record by the bytes around it, so every record that begins after the last
// byte that differs is equal on both sides. An RDW places it by the records before it, which
// the bytes after it do not tell. Returns the first record known equal.
std::size_t FileComparison::beforeEqualBytes(std::size_t index) const
{
    if (m_a.framing() != m_b.framing() || m_a.framing().kind == Framing::Kind::Rdw ||
        index >= commonCount())
        return index;
    const std::uint64_t endA = frameStart(m_a, index);
    const std::uint64_t endB = frameStart(m_b, index);
    const std::uint64_t common = std::min(endA, endB);
    std::uint64_t lastDiffering = common;
    const std::uint64_t equal =
        DifferingBytes::last(m_a.bytes().substr(endA - common, common),
                             m_b.bytes().substr(endB - common, common), lastDiffering)
            ? common - lastDiffering - 1
            : common;
    return std::max(m_a.recordAt(endA - equal), m_b.recordAt(endB - equal)) + 1;
}

std::size_t FileComparison::firstUnequalFrom(std::size_t index) const
{
    while (index < commonCount()) {
        const std::size_t skipped = pastEqualBytes(index);
        if (skipped > index) {
            index = skipped;
            continue;
        }
        if (compared(index))
            return index;
        ++index;
    }
    return index;
}

std::optional<FileComparison::Difference> FileComparison::next(std::size_t from) const
{
    auto difference = nextUnchecked(from);
    throwIfChanged();
    return difference;
}

std::optional<FileComparison::Difference> FileComparison::nextUnchecked(std::size_t from) const
{
    const std::size_t index = firstUnequalFrom(from);
    return index < recordCount() ? compared(index) : std::nullopt;
}

std::optional<FileComparison::Difference> FileComparison::previous(std::size_t before) const
{
    std::size_t index = std::min(before, recordCount());
    while (index > 0) {
        const std::size_t skipped = beforeEqualBytes(index);
        if (skipped < index) {
            index = skipped;
            continue;
        }
        if (auto difference = compared(--index)) {
            throwIfChanged();
            return difference;
        }
    }
    throwIfChanged();
    return std::nullopt;
}

void FileComparison::scan(std::size_t from,
                          const std::function<bool(const Difference &)> &visit) const
{
    for (auto difference = nextUnchecked(from); difference;
         difference = nextUnchecked(difference->record + 1)) {
        if (!visit(*difference))
            break;
    }
    throwIfChanged();
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
