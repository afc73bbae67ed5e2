#include "RecordDump.h"

#include "ShiftJisText.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

std::shared_ptr<const std::string> sharedRecord(std::size_t size)
{
    return std::make_shared<const std::string>(shiftJisRecord(size));
}

RecordDump dumpOf(const std::shared_ptr<const std::string> &file, int codePage)
{
    return RecordDump(
        {file, *file}, ByteClasses::forCodePage(codePage),
        {"/tmp/big.txt", RecordDump::lengthLabel(file->size()), 1, RecordDump::countLabel(1)});
}

// Arguments: record size in MiB, code page.
void textInOnePass(benchmark::State &state)
{
    const auto file = sharedRecord(static_cast<std::size_t>(state.range(0)) << 20);
    const RecordDump dump = dumpOf(file, static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(dump.text());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file->size()));
}
BENCHMARK(textInOnePass)->Args({16, 932})->Args({16, 1252})->Unit(benchmark::kMillisecond);

void textInPieces(benchmark::State &state)
{
    const auto file = sharedRecord(static_cast<std::size_t>(state.range(0)) << 20);
    const RecordDump dump = dumpOf(file, 932);
    for (auto _ : state)
        dump.writeText([](std::string_view piece) { benchmark::DoNotOptimize(piece.data()); });
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file->size()));
}
BENCHMARK(textInPieces)->Arg(100)->Unit(benchmark::kMillisecond);

// What a view pays on every change of the record: building the dump of a 100 MiB record.
void construction(benchmark::State &state)
{
    const auto file = sharedRecord(100 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(dumpOf(file, 932));
}
BENCHMARK(construction)->Unit(benchmark::kMillisecond);

// A screenful of lines anywhere in a 100 MiB record.
void screenOfLines(benchmark::State &state)
{
    const RecordDump dump = dumpOf(sharedRecord(100 << 20), 932);
    std::mt19937_64 random(3);
    for (auto _ : state) {
        const std::size_t first = random() % (dump.lineCount() - 60);
        for (std::size_t line = first; line < first + 60; ++line)
            benchmark::DoNotOptimize(dump.line(line));
    }
}
BENCHMARK(screenOfLines)->Unit(benchmark::kMicrosecond);

} // namespace
