#include "FileReader.h"
#include "RecordStore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr std::size_t kFileBytes = 64 * 1024 * 1024;

// Lines of 5 to 30 characters, half of them Shift-JIS double-byte, ended by CR LF.
std::string shiftJisLines(std::size_t size)
{
    std::mt19937 random(1);
    std::string text;
    text.reserve(size + 64);
    while (text.size() < size) {
        for (auto characters = 5 + random() % 26; characters > 0; --characters) {
            if (random() % 2 == 0) {
                text.push_back(static_cast<char>(0x88 + random() % 0x18));
                text.push_back(static_cast<char>(0x40 + random() % 0x3F));
            } else {
                text.push_back(static_cast<char>(0x20 + random() % 0x5F));
            }
        }
        text += "\r\n";
    }
    text.resize(size);
    return text;
}

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
