#pragma once

#include "LoadControl.h"
#include "RecordIndex.h"

#include <cstdint>
#include <string_view>

// Splits a file into lines while its bytes arrive, piece by piece in file order, and keeps
// them in an index. Records end at CR, LF or CR LF (LF CR is a line end and then an empty
// record), the first NUL ends the whole file, and a line end at the very end adds no empty
// record. Where the pieces are cut changes nothing: a CR at the end of one piece waits for
// the first byte of the next.
class LineSplitter
{
public:
    // fileSize: most bytes that will arrive. Throws std::bad_alloc when the index would take
    // more than memoryLimit bytes, now or as it grows.
    LineSplitter(RecordIndex &index, std::uint64_t fileSize, std::uint64_t memoryLimit);

    // arrived: the file's bytes from its first, as far as they have come, each call at least
    // as far as the one before; complete: that is all of them. Returns true once every record
    // is found (at a NUL, or when complete); the index then holds them, and later calls do
    // nothing.
    bool take(std::string_view arrived, bool complete);

    // Bytes looked at so far.
    std::uint64_t done() const { return m_done; }

    // The lines of the whole of file, split on two threads when it is big enough to pay for
    // the second. control, when given, hears of the bytes split and can cancel, which throws
    // LoadControl::Cancelled. Throws std::bad_alloc beyond memoryLimit.
    static RecordIndex split(std::string_view file, std::uint64_t memoryLimit,
                             LoadControl *control = nullptr);
    // The same with a second thread from secondFrom to the end; none for file.size().
    static RecordIndex split(std::string_view file, std::uint64_t memoryLimit, LoadControl *control,
                             std::size_t secondFrom);

private:
    void finish(std::uint64_t end);

    RecordIndex::Builder m_builder;
    std::uint64_t m_done = 0;
    bool m_finished = false;
};
