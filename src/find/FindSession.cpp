#include "FindSession.h"

#include "RecordStore.h"

#include <algorithm>

namespace {

// Bytes of records searched at once when going back; doubled each time nothing is found.
constexpr std::uint64_t kFirstStretchBack = std::uint64_t{1} << 20;

FindPlace placeOf(const FindHit &hit)
{
    return {hit.record, hit.offset};
}

} // namespace

FindSession::FindSession(const RecordStore &store, std::shared_ptr<const Encoding> encoding,
                         FindPattern pattern, std::optional<std::size_t> onlyRecord)
    : m_store(store), m_encoding(std::move(encoding)), m_pattern(std::move(pattern)),
      m_onlyRecord(onlyRecord), m_finder(store, *m_encoding, m_pattern)
{}

FindSession::Outcome FindSession::find(Direction direction, FindPlace from, bool pastFrom,
                                       const FindProgress &progress)
{
    Outcome outcome;
    if (m_store.count() == 0 || (m_onlyRecord && *m_onlyRecord >= m_store.count()))
        return outcome;
    const std::size_t first = firstRecord();
    const std::size_t last = lastRecord();
    from.record = std::clamp(from.record, first, last);
    Found found;
    if (direction == Direction::Next) {
        found = firstFrom(from.record, last, from, !pastFrom, progress);
        if (!found.cancelled && !found.hit) {
            found = firstFrom(first, last, {first, 0}, true, progress);
            outcome.wrapped = found.hit.has_value();
        }
    } else {
        found = lastBefore(first, from.record, from, false, progress);
        if (!found.cancelled && !found.hit) {
            found = lastBefore(first, last, {last + 1, 0}, false, progress);
            outcome.wrapped = found.hit.has_value();
        }
    }
    if (!m_total && !found.cancelled && found.hit) {
        std::uint64_t total = 0;
        const bool done = m_finder.scan(
            first, last, [&](const FindHit &) { return ++total, true; }, progress);
        found.cancelled = !done;
        if (done)
            m_total = total;
    }
    if (found.cancelled) {
        outcome.cancelled = true;
        outcome.wrapped = false;
        return outcome;
    }
    if (!found.hit)
        return outcome;
    // The ordinal follows from the last one when stepping on from it; else it is counted.
    std::uint64_t ordinal = 0;
    const bool stepped = m_last && pastFrom && from == placeOf(*m_last);
    if (stepped && direction == Direction::Next)
        ordinal = outcome.wrapped ? 1 : m_lastOrdinal + 1;
    else if (stepped)
        ordinal = outcome.wrapped ? *m_total : m_lastOrdinal - 1;
    else if (const std::optional<std::uint64_t> before = countBefore(placeOf(*found.hit), progress))
        ordinal = *before + 1;
    else
        return {std::nullopt, 0, 0, false, true};
    m_last = found.hit;
    m_lastOrdinal = ordinal;
    outcome.hit = found.hit;
    outcome.ordinal = ordinal;
    outcome.total = *m_total;
    return outcome;
}

FindSession::Found FindSession::firstFrom(std::size_t first, std::size_t last, FindPlace from,
                                          bool inclusive, const FindProgress &progress) const
{
    Found found;
    const bool done = m_finder.scan(
        first, last,
        [&](const FindHit &hit) {
            const FindPlace place = placeOf(hit);
            if (place < from || (!inclusive && place == from))
                return true;
            found.hit = hit;
            return false;
        },
        progress);
    found.cancelled = !done;
    return found;
}

// Backwards by stretches of records that grow, each searched forwards from its first record,
// as a record's hits are only known from its start.
FindSession::Found FindSession::lastBefore(std::size_t first, std::size_t last, FindPlace before,
                                           bool inclusive, const FindProgress &progress) const
{
    const std::string_view file = m_store.bytes();
    std::uint64_t stretch = kFirstStretchBack;
    std::size_t end = last;
    while (true) {
        const std::string_view endRecord = m_store.record(static_cast<std::int64_t>(end)).bytes;
        const auto endOffset = static_cast<std::uint64_t>(endRecord.data() - file.data());
        const std::size_t start =
            std::max(first, m_store.recordAt(endOffset - std::min(endOffset, stretch)));
        Found found;
        const bool done = m_finder.scan(
            start, end,
            [&](const FindHit &hit) {
                const FindPlace place = placeOf(hit);
                if (place > before || (!inclusive && place == before))
                    return false;
                found.hit = hit;
                return true;
            },
            progress);
        found.cancelled = !done;
        if (found.cancelled || found.hit || start == first)
            return found;
        end = start - 1;
        stretch *= 2;
    }
}

std::optional<std::uint64_t> FindSession::countBefore(FindPlace place,
                                                      const FindProgress &progress) const
{
    std::uint64_t count = 0;
    const bool done = m_finder.scan(
        firstRecord(), place.record,
        [&](const FindHit &hit) {
            if (placeOf(hit) >= place)
                return false;
            ++count;
            return true;
        },
        progress);
    return done ? std::optional(count) : std::nullopt;
}

std::size_t FindSession::firstRecord() const
{
    return m_onlyRecord.value_or(0);
}

std::size_t FindSession::lastRecord() const
{
    return m_onlyRecord.value_or(m_store.count() - 1);
}
