// Reads copybooks in either format, lays out every record they describe and places each once
// more by the input's own bytes: faults must be CopybookErrors, and every placement must lie
// within its record's largest extent.
#include "Copybook.h"
#include "CopybookError.h"
#include "EncodingCatalog.h"
#include "FieldDecoder.h"
#include "Layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
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

void checkWithin(const std::vector<Placement> &placements, std::uint64_t length)
{
    for (const Placement &placement : placements)
        check(std::uint64_t{placement.offset} + placement.length <= length,
              "a placement lies past the largest extent");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto format =
        data[0] & 1 ? CopybookReader::Format::Free : CopybookReader::Format::Reference;
    const std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);
    static const FieldDecoder decoder(EncodingCatalog::make("IBM-037"), {});
    try {
        const Copybook copybook = Copybook::parse(text, format);
        for (const auto &record : copybook.records()) {
            const Layout layout(*record);
            checkWithin(layout.largest(), layout.largestLength());
            std::vector<Placement> placed;
            layout.place(text, decoder.counterReader(), placed);
            checkWithin(placed, layout.largestLength());
            // Counters of 0 and of 1 throughout, as far as a short record goes.
            const std::size_t length = std::min<std::size_t>(layout.largestLength(), 4096);
            for (const char digit : {'\xF0', '\xF1'}) {
                layout.place(std::string(length, digit), decoder.counterReader(), placed);
                checkWithin(placed, layout.largestLength());
            }
        }
    } catch (const CopybookError &) {
    }
    return 0;
}
