#include "StoreMarks.h"

#include "Encoding.h"
#include "MarkingThread.h"
#include "RecordStore.h"

#include <thread>

namespace {

// Below this a second thread costs more than it saves.
constexpr std::uint64_t kTwoThreadBytes = std::uint64_t{16} << 20;

} // namespace

void StoreMarks::forEach(const RecordStore &store, const Encoding &encoding, const Sink &sink)
{
    static const bool twoCores = std::thread::hardware_concurrency() > 1;
    const std::uint64_t size = store.bytes().size();
    forEach(store, encoding, sink, twoCores && size > kTwoThreadBytes ? size / 2 : size);
}

void StoreMarks::forEach(const RecordStore &store, const Encoding &encoding, const Sink &sink,
                         std::uint64_t secondFrom)
{
    if (store.framing().kind == Framing::Kind::Lines && encoding.marksLinesAsOne())
        asOneText(store, encoding, sink, secondFrom);
    else
        recordByRecord(store, encoding, sink);
}

void StoreMarks::recordByRecord(const RecordStore &store, const Encoding &encoding,
                                const Sink &sink)
{
    std::size_t index = 0;
    std::string_view bytes;
    // Made once: a record of a clean file costs no more than the look at its bytes.
    const MarkSink toSink = [&](const Mark &mark) {
        sink(index, bytes, mark);
    };
    for (; index < store.count(); ++index) {
        bytes = store.record(static_cast<std::int64_t>(index)).bytes;
        encoding.forEachMark(bytes, toSink);
    }
}

// A mark is told to the record that holds its first byte. One that runs on into the line end
// is cut again as the record alone cuts it; one in a line end belongs to no record. A line
// starts a unit in the one text too, so its second part can be marked from a line's start.
void StoreMarks::asOneText(const RecordStore &store, const Encoding &encoding, const Sink &sink,
                           std::uint64_t secondFrom)
{
    const std::size_t count = store.count();
    if (count == 0)
        return;
    const std::string_view file = store.bytes();
    const auto offsetOf = [&](std::size_t index) {
        return static_cast<std::uint64_t>(
            store.record(static_cast<std::int64_t>(index)).bytes.data() - file.data());
    };
    const std::string_view last = store.record(static_cast<std::int64_t>(count - 1)).bytes;
    const std::string_view text = file.substr(0, offsetOf(count - 1) + last.size());
    std::size_t index = count;
    std::string_view bytes;
    std::uint64_t start = 0;
    std::uint64_t nextStart = 0;
    const MarkSink toRecord = [&](const Mark &mark) {
        if (index == count || mark.offset >= nextStart) {
            index = store.recordAt(mark.offset);
            bytes = store.record(static_cast<std::int64_t>(index)).bytes;
            start = offsetOf(index);
            nextStart = index + 1 < count ? offsetOf(index + 1) : text.size();
        }
        const std::uint64_t offset = mark.offset - start;
        if (offset >= bytes.size())
            return;
        if (offset + mark.length <= bytes.size()) {
            sink(index, bytes, {offset, mark.length, mark.kind});
            return;
        }
        encoding.forEachMark(bytes.substr(offset), [&](const Mark &tail) {
            sink(index, bytes, {offset + tail.offset, tail.length, tail.kind});
        });
    };
    const std::uint64_t seam = secondFrom < text.size() ? offsetOf(store.recordAt(secondFrom)) : 0;
    if (seam == 0 || !encoding.marksOnManyThreads()) {
        encoding.forEachMark(text, toRecord);
        return;
    }
    MarkingThread second(encoding, text, seam);
    encoding.forEachMark(second.started() ? text.substr(0, seam) : text, toRecord);
    if (second.started())
        second.forEach(toRecord);
}
