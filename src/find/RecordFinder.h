#pragma once

#include "FindHit.h"
#include "FindPattern.h"

#include <cstddef>
#include <functional>

class Encoding;
class RecordStore;

// Finds a pattern in the records of a store, in the store's one buffer: a byte search for
// candidates, then, only at those, the check that a candidate lies within one record and on
// the encoding's units. Hits never overlap: a record's hits are taken from its start, each
// search going on after the last byte of the hit before. Holds its arguments by reference.
class RecordFinder
{
public:
    RecordFinder(const RecordStore &store, const Encoding &encoding, const FindPattern &pattern);

    // Hands onHit the hits of records first to last (from 0, last included, below the
    // store's count) in file order, until it returns false. Returns false when progress
    // stopped the search. Throws the store's Failure when its file changed meanwhile: the
    // hits may have been found in zeros that stand for bytes cut off.
    bool scan(std::size_t first, std::size_t last,
              const std::function<bool(const FindHit &)> &onHit,
              const FindProgress &progress = {}) const;

private:
    static constexpr std::uint64_t kNone = ~std::uint64_t{0};

    bool scanBytes(std::size_t first, std::size_t last,
                   const std::function<bool(const FindHit &)> &onHit,
                   const FindProgress &progress) const;
    // The first candidate at or after from whose bytes end at most at end.
    std::uint64_t candidate(std::uint64_t from, std::uint64_t end) const;
    bool matchesAt(const char *at) const;

    const RecordStore &m_store;
    const Encoding &m_encoding;
    const FindPattern &m_pattern;
    // Where case does not matter: a byte of the pattern that has no other case, to search
    // for; kNone when every byte is a letter.
    std::size_t m_anchor = 0;
};
