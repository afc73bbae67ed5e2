#pragma once

#include "Mark.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

class Encoding;
class RecordStore;

// Every marked unit of every record of a store, in order. Lines in an encoding that marks
// them as it marks one text of them all are looked at in one pass over the file's bytes, so
// that millions of short lines cost what their bytes do; a big file's in two halves at once,
// where the encoding allows.
class StoreMarks
{
public:
    // record counts from 0; the mark's offset is from the first of the record's bytes.
    using Sink = std::function<void(std::size_t record, std::string_view bytes, const Mark &mark)>;

    static void forEach(const RecordStore &store, const Encoding &encoding, const Sink &sink);
    // The same, with the lines in one pass marked from the record that holds the byte at
    // secondFrom on, when it is not the first, on a second thread; none past the last record.
    static void forEach(const RecordStore &store, const Encoding &encoding, const Sink &sink,
                        std::uint64_t secondFrom);

private:
    static void recordByRecord(const RecordStore &store, const Encoding &encoding,
                               const Sink &sink);
    static void asOneText(const RecordStore &store, const Encoding &encoding, const Sink &sink,
                          std::uint64_t secondFrom);
};
