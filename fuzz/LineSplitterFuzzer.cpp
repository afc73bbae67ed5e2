// The line split of arbitrary bytes, copied to a buffer of exactly their size so that any read
// outside it is caught. The first two input bytes pick where a second thread starts, and where
// the bytes are cut in two pieces as they arrive: every way gives the starts of one thread's
// split of the whole.
#include "LineSplitter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>

namespace {

constexpr auto kNoLimit = std::numeric_limits<std::uint64_t>::max();

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void checkSameStarts(const RecordIndex &index, const RecordIndex &whole, const char *what)
{
    check(index.count() == whole.count(), what);
    for (std::size_t i = 0; i <= whole.count() && whole.count() > 0; ++i)
        check(index.start(i) == whole.start(i), what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const auto copy = std::make_unique<char[]>(size - 2);
    std::copy(data + 2, data + size, copy.get());
    const std::string_view file(copy.get(), size - 2);
    const std::size_t at = (std::size_t{data[0]} << 8 | data[1]) % (file.size() + 1);

    const RecordIndex whole = LineSplitter::split(file, kNoLimit, nullptr, file.size());
    checkSameStarts(LineSplitter::split(file, kNoLimit, nullptr, at), whole,
                    "second thread changes the starts");
    RecordIndex pieces;
    LineSplitter splitter(pieces, file.size(), kNoLimit);
    if (!splitter.take(file.substr(0, at), false))
        splitter.take(file, true);
    checkSameStarts(pieces, whole, "pieces change the starts");
    for (std::size_t i = 0; i < whole.count(); ++i) {
        const std::string_view line = whole.record(file, i);
        check(line.find_first_of(std::string_view("\r\n\0", 3)) == line.npos,
              "a line holds a line end or a NUL");
    }
    return 0;
}
