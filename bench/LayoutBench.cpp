// A copybook of 10,000 lines read, parsed and laid out (at most 50 ms), and records of about
// 1,500 bytes and 200 fields written as JSON Lines.
#include "Copybook.h"
#include "EncodingCatalog.h"
#include "FieldDecoder.h"
#include "JsonLinesWriter.h"
#include "Layout.h"
#include "OutputBuffer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 10'000;

// Groups of thirteen lines: a group, its fields of every usage, a table, a redefinition, a
// condition and a comment, in reference format.
std::string longCopybook()
{
    std::string text = "       01  BIG-RECORD.\n";
    for (int group = 0; group < (kLines - 1) / 13; ++group) {
        const std::string n = std::to_string(group);
        // A line of the copybook a line here.
        // clang-format off
        text += "      * group " + n + "\n"
                "           05  GROUP-" + n + ".\n"
                "               10  NAME-" + n + "      PIC X(20).\n"
                "               10  CODE-" + n + "      PIC 9(4).\n"
                "                   88  CODE-OK-" + n + " VALUE 1 THRU 99.\n"
                "               10  AMOUNT-" + n + "    PIC S9(9)V99 COMP-3.\n"
                "               10  COUNT-" + n + "     PIC S9(4) COMP SYNC.\n"
                "               10  RATE-" + n + "      COMP-2.\n"
                "               10  TABLE-" + n + ".\n"
                "                   15  ROWS-" + n + " OCCURS 4 TIMES.\n"
                "                       20  ROW-" + n + " PIC S9(5).\n"
                "               10  ALT-" + n + " REDEFINES TABLE-" + n + " PIC X(20).\n"
                "               10  PRICE-" + n + "     PIC ZZ,ZZ9.99-.\n";
        // clang-format on
    }
    return text;
}

void ParseAndLayOutTenThousandLines(benchmark::State &state)
{
    const std::string text = longCopybook();
    for (auto _ : state) {
        const Copybook copybook = Copybook::parse(text, CopybookReader::Format::Reference);
        const Layout layout(copybook.record(""));
        benchmark::DoNotOptimize(layout.largestLength());
    }
    state.counters["lines"] = static_cast<double>(std::count(text.begin(), text.end(), '\n'));
}
BENCHMARK(ParseAndLayOutTenThousandLines)->Unit(benchmark::kMillisecond);

// 20 text, 66 zoned, 66 packed, 44 binary and 4 float fields: 1,466 bytes, in an order with
// no pattern, as in real records, where the choice of each field's way is hard to predict.
std::string benchCopybook()
{
    const char *clauses[] = {"PIC X(20)", "PIC S9(5)V99", "PIC S9(9)V99 COMP-3", "PIC S9(9) COMP",
                             "COMP-2"};
    const int counts[] = {20, 66, 66, 44, 4};
    std::vector<int> kinds;
    for (int kind = 0; kind < 5; ++kind)
        kinds.insert(kinds.end(), counts[kind], kind);
    std::shuffle(kinds.begin(), kinds.end(), std::mt19937(7));
    std::string text = "01 R.\n";
    for (std::size_t field = 0; field < kinds.size(); ++field)
        text += "05 F" + std::to_string(field) + " " + clauses[kinds[field]] + ".\n";
    return text;
}

// Valid fields throughout: EBCDIC letters and blanks, zoned and packed digits of either sign,
// binary of nine digits, floats of any fraction.
std::string randomRecord(const Layout &layout, std::mt19937 &random)
{
    std::string record;
    for (const Placement &placement : layout.largest()) {
        if (placement.item->isGroup())
            continue;
        const Usage usage = placement.item->usage;
        const bool numeric = placement.item->picture &&
                             placement.item->picture->category == Picture::Category::Numeric;
        const unsigned sign = random() % 2 ? 0xC : 0xD;
        if (usage == Usage::Binary && placement.length == 4) {
            const auto value = static_cast<std::uint32_t>(
                static_cast<std::int32_t>(random() % 1'999'999'999) - 999'999'999);
            for (int shift = 24; shift >= 0; shift -= 8)
                record += static_cast<char>(value >> shift);
            continue;
        }
        for (std::uint32_t i = 0; i < placement.length; ++i) {
            const unsigned digit = random() % 10;
            const bool last = i + 1 == placement.length;
            if (usage == Usage::Packed)
                record += static_cast<char>(digit << 4 | (last ? sign : random() % 10));
            else if (usage == Usage::Display && numeric)
                record += static_cast<char>((last ? sign << 4 : 0xF0) + digit);
            else if (usage == Usage::Display)
                record += static_cast<char>(random() % 3 == 0 ? 0x40 : 0xC1 + digit);
            else
                record += static_cast<char>(i == 0 ? 0x41 : random() % 256);
        }
    }
    return record;
}

// Records that differ, so that their values do not teach the branches their way.
void JsonLinesOfEbcdicRecords(benchmark::State &state)
{
    const Copybook copybook = Copybook::parse(benchCopybook(), CopybookReader::Format::Free);
    const Layout layout(copybook.record(""));
    const FieldDecoder decoder(EncodingCatalog::make("IBM-037"), {});
    JsonLinesWriter writer(layout, decoder);
    std::mt19937 random(1);
    std::vector<std::string> records(64);
    for (std::string &record : records)
        record = randomRecord(layout, random);
    OutputBuffer out;
    std::size_t next = 0;
    for (auto _ : state) {
        out.clear();
        writer.write(records[next++ % records.size()], out);
        benchmark::DoNotOptimize(out.view().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * layout.largestLength()));
}
BENCHMARK(JsonLinesOfEbcdicRecords);

} // namespace

BENCHMARK_MAIN();
