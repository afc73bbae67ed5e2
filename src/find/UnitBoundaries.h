#pragma once

#include "Unit.h"

#include <cstddef>
#include <string_view>

class ByteClasses;
class Encoding;

// Tells whether candidates in one record begin and end on units of an encoding, without
// cutting the record again from its start for each. Candidates of a record come in order.
class UnitBoundaries
{
public:
    explicit UnitBoundaries(const Encoding &encoding);

    // Starts over on another record.
    void reset(std::string_view record);
    // Whether a unit begins at at in state, and one ends at at + length (at most the
    // record's size). at is at least the at of the call before since reset().
    bool holds(std::size_t at, std::size_t length, ShiftState state = 0);

private:
    enum class Way { EveryByte, LeadRuns, Near, Forward };

    bool startsUnit(std::size_t at, ShiftState state);
    bool endsUnit(std::size_t start, std::size_t end) const;
    bool isLead(std::size_t at) const;
    // Whether end is a boundary when start (at most end) is one, by lead-run parity.
    bool evenLeadRun(std::size_t start, std::size_t end) const;

    const Encoding &m_encoding;
    const ByteClasses *m_classes = nullptr;
    Way m_way = Way::Forward;
    std::string_view m_record;
    // LeadRuns: a boundary at or before the next candidate. Forward: the unit start reached.
    std::size_t m_known = 0;
    UnitStart m_cursor;
};
