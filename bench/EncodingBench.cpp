#include "Encoding.h"
#include "EncodingCatalog.h"
#include "RecordStore.h"
#include "StoreMarks.h"

#include "ShiftJisText.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr std::size_t kTextBytes = std::size_t{64} << 20;

// 64 MiB of short lines of Shift_JIS that code page 932 maps throughout, as records.
class SampleLines
{
public:
    SampleLines() : m_text(shiftJisLines(kTextBytes, true))
    {
        const std::string_view text = m_text;
        for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
            end = std::min(text.find("\r\n", start), text.size());
            m_records.push_back(text.substr(start, end - start));
        }
    }

    const std::string &text() const { return m_text; }
    const std::vector<std::string_view> &records() const { return m_records; }

private:
    std::string m_text;
    std::vector<std::string_view> m_records;
};

const SampleLines &sample()
{
    static const SampleLines lines;
    return lines;
}

// Each record of a valid file on its own, as records of the other framings are looked at.
void marksOfValidLines(benchmark::State &state)
{
    const std::vector<std::string_view> &records = sample().records();
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    std::uint64_t marks = 0;
    const MarkSink sink = [&marks](const Mark &) {
        ++marks;
    };
    for (auto _ : state) {
        for (const std::string_view record : records)
            encoding->forEachMark(record, sink);
    }
    if (marks != 0)
        state.SkipWithError("the text has marks");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}

// What qarvo-dump --check does with the store of a valid file: one look at all of its lines,
// on one thread (argument 1) or in two halves on two.
void marksOfValidStore(benchmark::State &state)
{
    const RecordStore store =
        RecordStore::framed(std::make_shared<const FileBytes>(sample().text()), Framing::lines());
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    const std::uint64_t secondFrom = state.range(0) == 2 ? kTextBytes / 2 : kTextBytes;
    std::uint64_t marks = 0;
    for (auto _ : state)
        StoreMarks::forEach(
            store, *encoding, [&marks](std::size_t, std::string_view, const Mark &) { ++marks; },
            secondFrom);
    if (marks != 0)
        state.SkipWithError("the text has marks");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}

// The same bytes as one record, line ends and all.
void marksOfOneBigRecord(benchmark::State &state)
{
    const std::string &text = sample().text();
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    std::uint64_t marks = 0;
    for (auto _ : state)
        encoding->forEachMark(text, [&marks](const Mark &) { ++marks; });
    if (marks != 0)
        state.SkipWithError("the text has marks");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}

// The viewer makes this encoding at start-up.
void makeShiftJis(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodingCatalog::make("Shift_JIS"));
}

// What the first look for marks adds to it: the table of the units that map.
void makeShiftJisAndMarkOneRecord(benchmark::State &state)
{
    std::uint64_t marks = 0;
    for (auto _ : state)
        EncodingCatalog::make("Shift_JIS")->forEachMark("\x85\x40", [&](const Mark &) { ++marks; });
    benchmark::DoNotOptimize(marks);
}

} // namespace

BENCHMARK(marksOfValidLines)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(marksOfValidStore)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime();
BENCHMARK(marksOfOneBigRecord)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(makeShiftJis)->Unit(benchmark::kMicrosecond);
BENCHMARK(makeShiftJisAndMarkOneRecord)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
