// Lays random records out by a copybook of double-byte, packed, binary, nested DEPENDING ON
// and REDEFINES fields, with a random alternative chosen: the standing fields never overlap,
// every byte finds the field that holds it, and the dump's cut field by field agrees with
// itself however it is asked.
#include "Copybook.h"
#include "EncodingCatalog.h"
#include "FieldAlternatives.h"
#include "FieldDecoder.h"
#include "LaidOutEncoding.h"
#include "Layout.h"
#include "RecordDump.h"
#include "RecordFields.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kCopybook = R"(
01 R.
   05 KIND PIC X.
   05 NAME PIC G(3).
   05 WIDE PIC N(2).
   05 N PIC 9.
   05 ROWS OCCURS 0 TO 3 DEPENDING ON N.
      10 AMOUNT PIC S9(5) COMP-3.
      10 TEXT PIC X(3).
   05 BODY PIC X(6).
   05 NUMS REDEFINES BODY.
      10 BIN PIC S9(4) COMP OCCURS 3.
   05 KANJI REDEFINES BODY PIC G(3).
   05 TAIL PIC X(2).
)";

constexpr const char *kEncodings[] = {"IBM-939", "IBM-930", "IBM-037", "Shift_JIS", "UTF-8"};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

struct Setup
{
    Copybook copybook = Copybook::parse(kCopybook, CopybookReader::Format::Free);
    Layout layout{copybook.record("")};
    std::vector<std::shared_ptr<const Encoding>> encodings;
    std::vector<std::unique_ptr<FieldDecoder>> decoders;

    Setup()
    {
        for (const char *name : kEncodings) {
            encodings.push_back(EncodingCatalog::make(name));
            decoders.push_back(
                std::make_unique<FieldDecoder>(encodings.back(), FieldDecoder::Options{}));
        }
    }
};

void checkFields(const RecordFields &fields, std::uint64_t size)
{
    std::uint64_t end = 0;
    for (const std::size_t at : fields.standing()) {
        const FieldRow &row = fields.rows()[at];
        check(row.offset >= end && row.offset < size, "standing fields overlap or lie outside");
        end = row.offset + row.length;
    }
    for (std::uint64_t offset = 0; offset < size; ++offset) {
        if (const std::optional<std::size_t> at = fields.rowHolding(offset)) {
            const FieldRow &row = fields.rows()[*at];
            check(offset >= row.offset && offset < row.offset + row.length, "a wrong holder");
        }
    }
    for (const FieldBand &band : fields.bands())
        check(band.offset + band.length <= size, "a band past the record");
}

void checkCut(const Encoding &encoding, std::string_view record)
{
    std::vector<std::size_t> starts;
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        starts.push_back(at);
        const Unit unit = encoding.unitAt(record, at, state);
        check(unit.length >= 1 && at + unit.length <= record.size(), "a unit past the record");
        at += unit.length;
    }
    for (std::size_t target = 0; target <= record.size(); ++target) {
        const UnitStart start = encoding.advance(record, {0, 0}, target);
        const auto first = std::lower_bound(starts.begin(), starts.end(), target);
        check(start.offset == (first == starts.end() ? record.size() : *first),
              "advance finds another start than the cut");
        if (target == record.size())
            break;
        if (const std::optional<UnitStart> near = encoding.startNear(record, target))
            check(near->offset <= target &&
                      std::binary_search(starts.begin(), starts.end(), near->offset),
                  "a start near that is no start");
    }
    std::uint64_t last = 0;
    encoding.forEachMark(record, [&](const Mark &mark) {
        check(mark.offset >= last && mark.offset + mark.length <= record.size(),
              "marks out of order or past the record");
        last = mark.offset + mark.length;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Setup setup;
    if (size < 2)
        return 0;
    const std::size_t which = data[0] % setup.encodings.size();
    const std::string_view record(reinterpret_cast<const char *>(data) + 2, size - 2);
    FieldAlternatives alternatives(setup.layout);
    RecordFields fields(setup.layout, *setup.decoders[which], record, alternatives);
    alternatives.choose(*fields.rows()[data[1] % fields.rows().size()].item);
    fields.stand(alternatives);
    checkFields(fields, record.size());
    const auto encoding =
        std::make_shared<const LaidOutEncoding>(setup.encodings[which], fields.cuts());
    checkCut(*encoding, record);
    const RecordDump dump(Record{nullptr, record}, encoding, DumpHeader{});
    const std::string text = dump.text();
    check(!text.empty(), "no dump");
    return 0;
}
