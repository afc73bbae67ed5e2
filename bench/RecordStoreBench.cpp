#include "FileReader.h"
#include "RecordStore.h"

#include "ShiftJisText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr std::size_t kFileBytes = 64 * 1024 * 1024;

// The test file, written once for all benchmarks and removed at exit.
class SampleFile
{
public:
    SampleFile() : m_path(std::filesystem::temp_directory_path() / "qarvo-record-store-bench.txt")
    {
        const std::string text = shiftJisLines(kFileBytes);
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

} // namespace

BENCHMARK(readWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(loadAndSplit)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
