#include "UnitBoundaries.h"

#include "ByteClasses.h"
#include "Encoding.h"

UnitBoundaries::UnitBoundaries(const Encoding &encoding) : m_encoding(encoding)
{
    m_classes = encoding.leadByteClasses();
    if (m_classes)
        m_way = m_classes->multibyte() ? Way::LeadRuns : Way::EveryByte;
    else if (encoding.startNear("A", 0))
        m_way = Way::Near;
}

void UnitBoundaries::reset(std::string_view record)
{
    m_record = record;
    m_known = 0;
    m_cursor = UnitStart();
}

bool UnitBoundaries::holds(std::size_t at, std::size_t length, ShiftState state)
{
    return startsUnit(at, state) && endsUnit(at, at + length);
}

// Under lead-byte rules a byte that is not a lead byte always ends a unit, so a boundary
// lies just after the last one before at; and from the last boundary known, nothing before
// it has to be looked at again. Each byte is so looked at about once per record.
bool UnitBoundaries::startsUnit(std::size_t at, ShiftState state)
{
    switch (m_way) {
    case Way::EveryByte:
        return state == 0;
    case Way::LeadRuns: {
        const bool boundary = evenLeadRun(m_known, at);
        // A byte that is no boundary is a trail byte, and its lead byte one; both stay at or
        // before at, so asking for at again finds the same.
        m_known = boundary ? at : at - 1;
        return boundary && state == 0;
    }
    case Way::Near:
        // A long run of bytes that may go on with a unit tells nothing; cut on from before.
        if (const std::optional<UnitStart> near = m_encoding.startNear(m_record, at))
            return m_encoding.advance(m_record, *near, at) == UnitStart{at, state};
        [[fallthrough]];
    case Way::Forward:
        m_cursor = m_encoding.advance(m_record, m_cursor, at);
        return m_cursor == UnitStart{at, state};
    }
    return false;
}

bool UnitBoundaries::endsUnit(std::size_t start, std::size_t end) const
{
    // A lone lead byte at the record's end is a unit of its own.
    if (end >= m_record.size() || m_way == Way::EveryByte)
        return true;
    if (m_way == Way::LeadRuns)
        return evenLeadRun(start, end);
    ShiftState state = 0;
    if (m_way == Way::Forward)
        state = m_cursor.state;
    return m_encoding.advance(m_record, UnitStart{start, state}, end).offset == end;
}

bool UnitBoundaries::isLead(std::size_t at) const
{
    return m_classes->inLeadSet(static_cast<std::uint8_t>(m_record[at]));
}

bool UnitBoundaries::evenLeadRun(std::size_t start, std::size_t end) const
{
    std::size_t from = end;
    while (from > start && isLead(from - 1))
        --from;
    return (end - from) % 2 == 0;
}
