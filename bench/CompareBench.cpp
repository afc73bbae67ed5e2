#include "FileComparison.h"
#include "RecordComparison.h"
#include "RecordStore.h"

#include "ShiftJisText.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

// Two 100 MiB records that differ in their last byte: the whole length is equal data.
void compareTwoBigRecords(benchmark::State &state)
{
    const std::string a = shiftJisRecord(std::size_t{100} << 20);
    std::string b = a;
    b.back() ^= 1;
    for (auto _ : state) {
        const RecordComparison comparison(a, b);
        if (comparison.differingBytes() != 1)
            state.SkipWithError("one byte should differ");
        benchmark::DoNotOptimize(comparison.firstDifference());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.size()));
}
BENCHMARK(compareTwoBigRecords)->Unit(benchmark::kMillisecond);

RecordStore storeOf(const std::string &text, const std::string &name)
{
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    RecordStore store;
    store.load(path.string());
    std::filesystem::remove(path);
    return store;
}

// Two loaded files of 512 MiB of short lines that differ in one record's first byte.
struct TwoBigFiles
{
    std::size_t bytes;
    RecordStore a;
    RecordStore b;
};

enum class Changed { First, Last };

TwoBigFiles twoBigFiles(Changed record)
{
    const std::string text = shiftJisLines(std::size_t{512} << 20);
    std::string changed = text;
    changed[record == Changed::First ? 0 : changed.rfind("\r\n", changed.size() - 3) + 2] = '#';
    return {text.size(), storeOf(text, "qarvo-compare-bench-a.txt"),
            storeOf(changed, "qarvo-compare-bench-b.txt")};
}

// The last record changed: the count of differing records, as the compare bar shows it.
void countDifferingRecordsOfTwoBigFiles(benchmark::State &state)
{
    const TwoBigFiles files = twoBigFiles(Changed::Last);
    for (auto _ : state) {
        const FileComparison::Counts counts = FileComparison(files.a, files.b).counts();
        if (counts.differing != 1)
            state.SkipWithError("one record should differ");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes));
}
BENCHMARK(countDifferingRecordsOfTwoBigFiles)->Unit(benchmark::kMillisecond);

// The first record changed: Ctrl+Shift+F7 from the last record back to it.
void previousDifferingRecordOfTwoBigFiles(benchmark::State &state)
{
    const TwoBigFiles files = twoBigFiles(Changed::First);
    const FileComparison comparison(files.a, files.b);
    for (auto _ : state) {
        const auto previous = comparison.previous(comparison.recordCount());
        if (!previous || previous->record != 0)
            state.SkipWithError("the first record should differ");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes));
}
BENCHMARK(previousDifferingRecordOfTwoBigFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
