#pragma once

#include "RecordStore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// Two loaded files compared record by record: record i of A against record i of B. Runs of
// equal bytes are passed over across record boundaries, so two big files that differ little
// are compared at memory speed.
class FileComparison
{
public:
    // A record (from 0) that differs, or that one side has and the other has not.
    struct Difference
    {
        enum class Side { Both, OnlyA, OnlyB };

        std::size_t record = 0;
        Side side = Side::Both;
        std::uint64_t firstOffset = 0;    // of Both
        std::uint64_t differingBytes = 0; // of Both

        bool operator==(const Difference &) const = default;
    };

    struct Counts
    {
        std::uint64_t differing = 0; // records both have that differ
        std::uint64_t onlyA = 0;
        std::uint64_t onlyB = 0;

        bool operator==(const Counts &) const = default;
    };

    // The stores must outlive the comparison. What reports a difference throws a store's
    // Failure when its file changed meanwhile: the bytes compared may have been zeros that
    // stand for bytes cut off.
    FileComparison(const RecordStore &a, const RecordStore &b);

    // The records either side has.
    std::size_t recordCount() const;
    // The first differing record at or after from.
    std::optional<Difference> next(std::size_t from) const;
    // The last differing record before before.
    std::optional<Difference> previous(std::size_t before) const;
    // Every differing record from from on, in order, until visit returns false.
    void scan(std::size_t from, const std::function<bool(const Difference &)> &visit) const;
    Counts counts() const;
    // How record index compares; nothing when it is equal on both sides.
    std::optional<Difference> differenceAt(std::size_t index) const;

private:
    std::optional<Difference> compared(std::size_t index) const;
    std::optional<Difference> nextUnchecked(std::size_t from) const;
    void throwIfChanged() const;
    std::size_t commonCount() const;
    std::size_t firstUnequalFrom(std::size_t index) const;
    std::size_t pastEqualBytes(std::size_t index) const;
    std::size_t beforeEqualBytes(std::size_t index) const;

    const RecordStore &m_a;
    const RecordStore &m_b;
};
