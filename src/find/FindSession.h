#pragma once

#include "FindHit.h"
#include "FindPattern.h"
#include "Framing.h"
#include "RecordFinder.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class Encoding;
class FileBytes;
class RecordStore;

// Going from hit to hit of one pattern through a store, or through one record of it, as the
// find bar does: wrapping at the ends, and telling which hit of how many each one is. The
// store must stay as it is while a session lives; searches() tells when it no longer is.
class FindSession
{
public:
    enum class Direction { Next, Previous };

    struct Outcome
    {
        std::optional<FindHit> hit;
        std::uint64_t ordinal = 0; // from 1
        std::uint64_t total = 0;
        bool wrapped = false;   // went on from the other end to get there
        bool cancelled = false; // progress stopped it; nothing else is set
    };

    // onlyRecord: the record (from 0) the search keeps to; nothing for the whole file.
    FindSession(const RecordStore &store, std::shared_ptr<const Encoding> encoding,
                FindPattern pattern, std::optional<std::size_t> onlyRecord = std::nullopt);

    // The next hit after from, or the previous one before it. A hit that begins at from
    // counts as after it unless pastFrom, as when from is the hit shown.
    Outcome find(Direction direction, FindPlace from, bool pastFrom,
                 const FindProgress &progress = {});

    // Whether a session made now with these arguments would search as this one does: the same
    // pattern, encoding and scope, in the same store still holding the file and framing it had
    // when this one was made. Else the hits this one knows are not that search's.
    bool searches(const RecordStore &store, const std::shared_ptr<const Encoding> &encoding,
                  const FindPattern &pattern, std::optional<std::size_t> onlyRecord) const;

private:
    struct Found
    {
        std::optional<FindHit> hit;
        bool cancelled = false;
    };

    Found firstFrom(std::size_t first, std::size_t last, FindPlace from, bool inclusive,
                    const FindProgress &progress) const;
    Found lastBefore(std::size_t first, std::size_t last, FindPlace before, bool inclusive,
                     const FindProgress &progress) const;
    Outcome wholePass(Direction direction, FindPlace from, bool pastFrom,
                      const FindProgress &progress);
    Outcome step(Direction direction, FindPlace from, const FindProgress &progress);
    std::size_t firstRecord() const;
    std::size_t lastRecord() const;

    const RecordStore &m_store;
    // Not kept alive by the session: a file loaded anew is another one, even at the same place.
    std::weak_ptr<const FileBytes> m_file;
    Framing m_framing;
    std::shared_ptr<const Encoding> m_encoding;
    FindPattern m_pattern;
    std::optional<std::size_t> m_onlyRecord;
    RecordFinder m_finder;
    // Learnt by the first pass: the hits of the whole scope; and the last hit handed out with
    // its ordinal, from which the next steps go.
    std::optional<std::uint64_t> m_total;
    std::optional<FindHit> m_last;
    std::uint64_t m_lastOrdinal = 0;
};
