#include "FileReader.h"
#include "LineSplitter.h"
#include "RecordStore.h"

#include "ShiftJisText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>

namespace {

constexpr std::size_t kFileBytes = 64 * 1024 * 1024;

const std::string &sampleText()
{
    static const std::string text = shiftJisLines(kFileBytes);
    return text;
}

// The test file, written once for all benchmarks and removed at exit.
class SampleFile
{
public:
    SampleFile() : m_path(std::filesystem::temp_directory_path() / "qarvo-record-store-bench.txt")
    {
        const std::string &text = sampleText();
        std::ofstream(m_path, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    ~SampleFile() { std::filesystem::remove(m_path); }

    std::string path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

const SampleFile &sampleFile()
{
    static const SampleFile file;
    return file;
}

// The read alone, to tell its share from the split's.
void readWholeFile(benchmark::State &state)
{
    const std::string path = sampleFile().path();
    for (auto _ : state)
        benchmark::DoNotOptimize(FileReader(path).readAll());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

void loadAndSplit(benchmark::State &state)
{
    const std::string path = sampleFile().path();
    std::size_t records = 0;
    for (auto _ : state) {
        RecordStore store;
        store.load(path);
        records = store.count();
        benchmark::DoNotOptimize(records);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
    state.counters["records"] = static_cast<double>(records);
}

// The split alone, of bytes in memory, on one thread or two.
void splitLines(benchmark::State &state)
{
    const std::string &text = sampleText();
    const std::size_t secondFrom = state.range(0) == 2 ? text.size() / 2 : text.size();
    for (auto _ : state) {
        const RecordIndex index = LineSplitter::split(
            text, std::numeric_limits<std::uint64_t>::max(), nullptr, secondFrom);
        benchmark::DoNotOptimize(index.count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

// Looks up the lines that hold random offsets, and then their bytes, as a find's hits and a
// compare's differences do.
void lookUpRandomOffsets(benchmark::State &state)
{
    const std::string &text = sampleText();
    const RecordIndex index(text, std::numeric_limits<std::uint64_t>::max());
    std::mt19937_64 random(3);
    for (auto _ : state) {
        const std::size_t record = index.recordAt(random() % text.size());
        benchmark::DoNotOptimize(index.record(text, std::min(record, index.count() - 1)));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

} // namespace

BENCHMARK(readWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(loadAndSplit)->Unit(benchmark::kMillisecond);
BENCHMARK(splitLines)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(lookUpRandomOffsets);

BENCHMARK_MAIN();
