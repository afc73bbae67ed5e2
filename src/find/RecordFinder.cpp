#include "RecordFinder.h"

#include "RecordStore.h"
#include "UnitBoundaries.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes between two looks at progress: about a millisecond of searching.
constexpr std::uint64_t kStretch = std::uint64_t{4} << 20;

} // namespace

RecordFinder::RecordFinder(const RecordStore &store, const Encoding &encoding,
                           const FindPattern &pattern)
    : m_store(store), m_encoding(encoding), m_pattern(pattern)
{
    const std::string &bytes = pattern.bytes();
    const std::string &other = pattern.otherCase();
    m_anchor = kNone;
    // The last such byte: the first bytes of a text are more often common ones.
    for (std::size_t i = bytes.size(); i-- > 0;) {
        if (bytes[i] == other[i]) {
            m_anchor = i;
            break;
        }
    }
}

bool RecordFinder::scan(std::size_t first, std::size_t last,
                        const std::function<bool(const FindHit &)> &onHit,
                        const FindProgress &progress) const
{
    const std::string_view file = m_store.bytes();
    const std::uint64_t n = m_pattern.size();
    const auto offsetOf = [&](std::string_view bytes) {
        return static_cast<std::uint64_t>(bytes.data() - file.data());
    };
    const Record lastRecord = m_store.record(static_cast<std::int64_t>(last));
    const std::uint64_t begin = offsetOf(m_store.record(static_cast<std::int64_t>(first)).bytes);
    const std::uint64_t end = offsetOf(lastRecord.bytes) + lastRecord.bytes.size();

    UnitBoundaries boundaries(m_encoding);
    std::size_t record = m_store.count(); // none yet
    std::uint64_t recordBegin = 0;
    std::uint64_t recordEnd = 0; // before its line end
    std::uint64_t nextBegin = 0;
    std::uint64_t at = begin;
    std::uint64_t report = begin + kStretch;
    while (at + n <= end) {
        if (at >= report) {
            if (progress && !progress(at - begin, end - begin))
                return false;
            report = at + kStretch;
        }
        const std::uint64_t found = candidate(at, std::min(end, at + kStretch + n - 1));
        if (found == kNone) {
            at = std::min(end, at + kStretch + n - 1) - n + 1;
            continue;
        }
        if (found < recordBegin || found >= nextBegin) {
            record = m_store.recordAt(found);
            const std::string_view bytes = m_store.record(static_cast<std::int64_t>(record)).bytes;
            recordBegin = offsetOf(bytes);
            recordEnd = recordBegin + bytes.size();
            nextBegin = record + 1 < m_store.count()
                            ? offsetOf(m_store.record(static_cast<std::int64_t>(record + 1)).bytes)
                            : file.size();
            boundaries.reset(bytes);
        }
        // A hit never takes in a line end, nor lies across the unit boundaries.
        if (found + n > recordEnd ||
            (m_pattern.onUnits() && !boundaries.holds(found - recordBegin, n))) {
            at = found + 1;
            continue;
        }
        if (!onHit({record, found - recordBegin, n}))
            return true;
        at = found + n;
    }
    if (progress)
        return progress(end - begin, end - begin);
    return true;
}

std::uint64_t RecordFinder::candidate(std::uint64_t from, std::uint64_t end) const
{
    const std::string_view file = m_store.bytes();
    const std::string &bytes = m_pattern.bytes();
    const std::size_t n = bytes.size();
    if (from + n > end)
        return kNone;
    const char *const base = file.data();
    if (!m_pattern.caseFolded()) {
        const void *hit = n == 1 ? std::memchr(base + from, bytes[0], end - from)
                                 : memmem(base + from, end - from, bytes.data(), n);
        return hit ? static_cast<std::uint64_t>(static_cast<const char *>(hit) - base) : kNone;
    }
    if (m_anchor == kNone) {
        for (std::uint64_t at = from; at + n <= end; ++at) {
            if (matchesAt(base + at))
                return at;
        }
        return kNone;
    }
    const char *scan = base + from + m_anchor;
    const char *const last = base + end - n + m_anchor; // the anchor's last place
    while (scan <= last) {
        const void *hit = std::memchr(scan, bytes[m_anchor], last - scan + 1);
        if (!hit)
            return kNone;
        const char *start = static_cast<const char *>(hit) - m_anchor;
        if (matchesAt(start))
            return static_cast<std::uint64_t>(start - base);
        scan = static_cast<const char *>(hit) + 1;
    }
    return kNone;
}

bool RecordFinder::matchesAt(const char *at) const
{
    const std::string &bytes = m_pattern.bytes();
    const std::string &other = m_pattern.otherCase();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (at[i] != bytes[i] && at[i] != other[i])
            return false;
    }
    return true;
}
