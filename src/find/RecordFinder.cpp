#include "RecordFinder.h"

#include "RecordStore.h"
#include "UnitBoundaries.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
#include <immintrin.h>
#endif

namespace {

// Bytes between two looks at progress: about a millisecond of searching.
constexpr std::uint64_t kStretch = std::uint64_t{4} << 20;

// The first place in [begin, end) where needle (at least two bytes) lies whole, or null.
const char *findScalar(const char *begin, const char *end, std::string_view needle)
{
    const void *hit =
        memmem(begin, static_cast<std::size_t>(end - begin), needle.data(), needle.size());
    return static_cast<const char *>(hit);
}

#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
// 32 places at a time whose first and last bytes are the needle's; only those are compared
// whole. Several times glibc's memmem, which shifts by pairs of bytes.
__attribute__((target("avx2"))) const char *findAvx2(const char *begin, const char *end,
                                                     std::string_view needle)
{
    const std::size_t n = needle.size();
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i last = _mm256_set1_epi8(needle.back());
    const char *at = begin;
    // The last place a needle can begin, plus one.
    const char *const stop = end - n + 1;
    for (; stop - at >= 32; at += 32) {
        const __m256i front = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
        const __m256i back = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at + n - 1));
        auto mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(front, first), _mm256_cmpeq_epi8(back, last))));
        while (mask != 0) {
            const int bit = __builtin_ctz(mask);
            if (std::memcmp(at + bit + 1, needle.data() + 1, n - 2) == 0)
                return at + bit;
            mask &= mask - 1;
        }
    }
    return at < stop ? findScalar(at, end, needle) : nullptr;
}
#endif

const char *findBytes(const char *begin, const char *end, std::string_view needle)
{
    if (end - begin < static_cast<std::ptrdiff_t>(needle.size()))
        return nullptr;
    if (needle.size() == 1)
        return static_cast<const char *>(
            std::memchr(begin, needle.front(), static_cast<std::size_t>(end - begin)));
#if defined(__x86_64__) && !defined(QARVO_NO_AVX2)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2)
        return findAvx2(begin, end, needle);
#endif
    return findScalar(begin, end, needle);
}

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
    const bool done = scanBytes(first, last, onHit, progress);
    m_store.throwIfChanged();
    return done;
}

bool RecordFinder::scanBytes(std::size_t first, std::size_t last,
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
            (m_pattern.onUnits() && !boundaries.holds(found - recordBegin, n, m_pattern.startState()))) {
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
        const char *hit = findBytes(base + from, base + end, bytes);
        return hit ? static_cast<std::uint64_t>(hit - base) : kNone;
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
