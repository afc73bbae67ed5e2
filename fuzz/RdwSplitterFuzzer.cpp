// The RDW framing on arbitrary bytes, copied to a buffer of exactly their size so that any
// read outside it is caught. Either the records and their RDWs tile the bytes exactly, in
// order, each byte told to the record it belongs to, or the split fails with a message naming
// an offset inside them.
#include "Failure.h"
#include "RdwSplitter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto copy = std::make_unique<char[]>(size);
    std::copy(data, data + size, copy.get());
    const std::string_view file(copy.get(), size);
    try {
        const RecordIndex index =
            RdwSplitter::split(file, std::numeric_limits<std::uint64_t>::max());
        std::size_t next = 0;
        for (std::size_t i = 0; i < index.count(); ++i) {
            const std::uint64_t start = index.start(i);
            check(start == next + RdwSplitter::kRdwBytes, "records leave a gap");
            const std::string_view record = RdwSplitter::record(file, start);
            check(record.data() == file.data() + start, "record not where its RDW says");
            next = start + record.size();
        }
        check(next == size, "records do not reach the end");
        // A byte belongs to the last record whose data begins at or before it.
        for (std::uint64_t offset = 0, holder = 0; offset < size; ++offset) {
            while (holder + 1 < index.count() && index.start(holder + 1) <= offset)
                ++holder;
            check(index.recordAt(offset) == holder, "byte told to another record");
        }
    } catch (const Failure &failure) {
        const std::string message = failure.what();
        check(message.starts_with("RDW at offset "), "message names no offset");
        const auto offset = std::strtoull(message.c_str() + 14, nullptr, 10);
        check(offset < size, "offset outside the file");
    }
    return 0;
}
