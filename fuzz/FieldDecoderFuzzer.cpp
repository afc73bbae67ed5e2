// Decodes random records by a copybook of every usage, in several encodings: every value is a
// number, text or a reason, and every JSON line is closed.
#include "Copybook.h"
#include "DecodedJsonLine.h"
#include "EncodingCatalog.h"
#include "FieldDecoder.h"
#include "JsonLinesWriter.h"
#include "Layout.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kCopybook = R"(
01 R.
   05 ZONED PIC S9(5)V99.
   05 ZONED-LEADING PIC S9(3) SIGN LEADING SEPARATE.
   05 UNSIGNED PIC 9(4)P.
   05 PACKED PIC S9(7)V99 COMP-3.
   05 PACKED-EVEN PIC 9(4) COMP-3.
   05 N PIC 9 COMP.
   05 ROWS OCCURS 0 TO 3 DEPENDING ON N.
      10 BIN PIC S9(4) COMP.
      10 BIN5 PIC 9(9) COMP-5.
      10 INNER-N PIC 9.
      10 INNER PIC X OCCURS 0 TO 2 DEPENDING ON INNER-N.
   05 BIG PIC S9(38) COMP.
   05 F1 COMP-1.
   05 F2 COMP-2.
   05 EDITED PIC $$,$$9.99CR.
   05 EDITED-2 PIC ---9V99.
   05 EDITED-3 PIC ***,**9.99+.
   05 TEXT PIC X(6).
   05 KANJI PIC G(3).
   05 WIDE PIC N(2) NATIONAL.
   05 ALT REDEFINES WIDE PIC X(4).
   05 PTR POINTER.
   05 CX PIC 9(5) COMP-X.
)";

// Without DEPENDING ON: every record as long as the layout is written by one plan.
constexpr std::string_view kFixed = R"(
01 F.
   05 P1 PIC S9(9)V99 COMP-3.
   05 P2 PIC 9(4) COMP-3.
   05 P3 PIC S9(3)PP COMP-3.
   05 Z1 PIC S9(5)V99.
   05 Z2 PIC S9(4) SIGN LEADING.
   05 Z3 PIC S9(16)V9(16).
   05 B1 PIC S9(9) COMP.
   05 B2 PIC S9(4)V99 COMP-5.
   05 B3 PIC 9(18) COMP-5.
   05 F1 COMP-2.
   05 T1 PIC X(5).
   05 N1 PIC N(2) NATIONAL.
)";

constexpr const char *kEncodings[] = {"IBM-037", "IBM-939", "IBM-930",   "Shift_JIS",
                                      "EUC-JP",  "UTF-8",   "ISO-8859-1"};

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
    Copybook fixedCopybook = Copybook::parse(kFixed, CopybookReader::Format::Free);
    Layout fixed{fixedCopybook.record("")};
    std::vector<std::unique_ptr<FieldDecoder>> decoders;

    Setup()
    {
        for (const char *name : kEncodings) {
            for (int options = 0; options < 8; ++options) {
                FieldDecoder::Options each;
                each.littleEndianComp5 = options & 1;
                each.nationalN = options & 2;
                each.floats = options & 4 ? FieldDecoder::Options::Floats::Ieee
                                          : FieldDecoder::Options::Floats::Hex;
                decoders.push_back(
                    std::make_unique<FieldDecoder>(EncodingCatalog::make(name), each));
            }
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Setup setup;
    if (size == 0)
        return 0;
    const FieldDecoder &decoder = *setup.decoders[data[0] % setup.decoders.size()];
    const std::string_view record(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::vector<Placement> placed;
    setup.layout.place(record, decoder.counterReader(), placed);
    std::string value;
    for (const Placement &placement : placed) {
        if (placement.kind == Placement::Kind::Table || placement.item->isGroup() ||
            std::uint64_t{placement.offset} + placement.length > record.size())
            continue;
        value.clear();
        const FieldValue decoded = decoder.decode(record.substr(placement.offset, placement.length),
                                                  *placement.item, value);
        check(decoded.valid() != (decoded.reason != FieldValue::Reason::None),
              "a value with a reason, or a reason with no value");
        check(decoded.valid() || value.empty(), "an invalid value wrote something");
        if (decoded.kind == FieldValue::Kind::Number)
            check(!value.empty() && value.find_first_not_of("-+.0123456789e") == value.npos,
                  "a number that is not one");
    }
    JsonLinesWriter writer(setup.layout, decoder);
    std::string line;
    writer.write(record, line);
    check(line.starts_with('{') && line.ends_with("}\n"), "a JSON line left open");
    std::string full(record.substr(0, setup.fixed.largestLength()));
    full.resize(setup.fixed.largestLength(), '\xF0');
    JsonLinesWriter fixedWriter(setup.fixed, decoder);
    line.clear();
    fixedWriter.write(full, line);
    check(line == decodedJsonLine(setup.fixed, decoder, full),
          "a planned line that decode() denies");
    return 0;
}
