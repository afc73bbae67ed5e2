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
    : m_store(store), m_file(store.file()), m_framing(store.framing()),
      m_encoding(std::move(encoding)), m_pattern(std::move(pattern)), m_onlyRecord(onlyRecord),
      m_finder(store, *m_encoding, m_pattern)
{}

bool FindSession::searches(const RecordStore &store,
                           const std::shared_ptr<const Encoding> &encoding,
                           const FindPattern &pattern, std::optional<std::size_t> onlyRecord) const
{
    const std::shared_ptr<const FileBytes> file = store.file();
    const bool sameFile = !m_file.owner_before(file) && !file.owner_before(m_file);
    return &store == &m_store && sameFile && store.framing() == m_framing &&
           encoding == m_encoding && pattern == m_pattern && onlyRecord == m_onlyRecord;
}

FindSession::Outcome FindSession::find(Direction direction, FindPlace from, bool pastFrom,
                                       const FindProgress &progress)
{
    if (m_store.count() == 0 || (m_onlyRecord && *m_onlyRecord >= m_store.count()))
        return {};
    from.record = std::clamp(from.record, firstRecord(), lastRecord());
    const bool stepping = m_total && m_last && pastFrom && from == placeOf(*m_last);
    Outcome outcome =
        stepping ? step(direction, from, progress) : wholePass(direction, from, pastFrom, progress);
    if (outcome.hit) {
        m_last = outcome.hit;
        m_lastOrdinal = outcome.ordinal;
    }
    return outcome;
}

// One pass over every hit tells the one wanted, its ordinal and how many there are.
FindSession::Outcome FindSession::wholePass(Direction direction, FindPlace from, bool pastFrom,
                                            const FindProgress &progress)
{
    struct Numbered
    {
        FindHit hit;
        std::uint64_t ordinal = 0;
    };
    std::optional<Numbered> first, last, after, before;
    std::uint64_t total = 0;
    const bool done = m_finder.scan(
        firstRecord(), lastRecord(),
        [&](const FindHit &hit) {
            const Numbered numbered{hit, ++total};
            const FindPlace place = placeOf(hit);
            if (!first)
                first = numbered;
            last = numbered;
            if (place < from)
                before = numbered;
            if (!after && (place > from || (!pastFrom && place == from)))
                after = numbered;
            return true;
        },
        progress);
    Outcome outcome;
    if (!done) {
        outcome.cancelled = true;
        return outcome;
    }
    m_total = total;
    const std::optional<Numbered> &found = direction == Direction::Next ? after : before;
    const std::optional<Numbered> &wrapped = direction == Direction::Next ? first : last;
    const std::optional<Numbered> &taken = found ? found : wrapped;
    if (!taken)
        return outcome;
    outcome.hit = taken->hit;
    outcome.ordinal = taken->ordinal;
    outcome.total = total;
    outcome.wrapped = !found;
    return outcome;
}

// From the hit handed out last, only as far as the next or previous one.
FindSession::Outcome FindSession::step(Direction direction, FindPlace from,
                                       const FindProgress &progress)
{
    const std::size_t first = firstRecord();
    const std::size_t last = lastRecord();
    Found found;
    Outcome outcome;
    if (direction == Direction::Next) {
        found = firstFrom(from.record, last, from, false, progress);
        if (!found.cancelled && !found.hit) {
            found = firstFrom(first, last, {first, 0}, true, progress);
            outcome.wrapped = true;
        }
        outcome.ordinal = outcome.wrapped ? 1 : m_lastOrdinal + 1;
    } else {
        found = lastBefore(first, from.record, from, false, progress);
        if (!found.cancelled && !found.hit) {
            found = lastBefore(first, last, {last + 1, 0}, false, progress);
            outcome.wrapped = true;
        }
        outcome.ordinal = outcome.wrapped ? *m_total : m_lastOrdinal - 1;
    }
    if (found.cancelled)
        return {std::nullopt, 0, 0, false, true};
    outcome.hit = found.hit;
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

std::size_t FindSession::firstRecord() const
{
    return m_onlyRecord.value_or(0);
}

std::size_t FindSession::lastRecord() const
{
    return m_onlyRecord.value_or(m_store.count() - 1);
}
