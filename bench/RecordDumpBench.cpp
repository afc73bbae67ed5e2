#include "RecordDump.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

// Shift-JIS text without line ends: letters, half-width katakana and kanji, mixed.
std::shared_ptr<const std::string> shiftJisRecord(std::size_t size)
{
    std::mt19937 random(7);
    std::string text;
    text.reserve(size + 1);
    while (text.size() < size) {
        switch (random() % 3) {
        case 0:
            text += static_cast<char>(0x20 + random() % 0x5F);
            break;
        case 1:
            text += static_cast<char>(0xA1 + random() % 0x3F);
            break;
        default:
            text += static_cast<char>(0x88 + random() % 0x17);
            text += static_cast<char>(0x40 + random() % 0x3F);
        }
    }
    text.resize(size);
    return std::make_shared<const std::string>(std::move(text));
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
    const auto file = shiftJisRecord(static_cast<std::size_t>(state.range(0)) << 20);
    const RecordDump dump = dumpOf(file, static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(dump.text());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file->size()));
}
BENCHMARK(textInOnePass)->Args({16, 932})->Args({16, 1252})->Unit(benchmark::kMillisecond);

void textInPieces(benchmark::State &state)
{
    const auto file = shiftJisRecord(static_cast<std::size_t>(state.range(0)) << 20);
    const RecordDump dump = dumpOf(file, 932);
    for (auto _ : state)
        dump.writeText([](std::string_view piece) { benchmark::DoNotOptimize(piece.data()); });
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file->size()));
}
BENCHMARK(textInPieces)->Arg(100)->Unit(benchmark::kMillisecond);

// What a view pays on every change of the record: building the dump of a 100 MiB record.
void construction(benchmark::State &state)
{
    const auto file = shiftJisRecord(100 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(dumpOf(file, 932));
}
BENCHMARK(construction)->Unit(benchmark::kMillisecond);

// A screenful of lines anywhere in a 100 MiB record.
void screenOfLines(benchmark::State &state)
{
    const RecordDump dump = dumpOf(shiftJisRecord(100 << 20), 932);
    std::mt19937_64 random(3);
    for (auto _ : state) {
        const std::size_t first = random() % (dump.lineCount() - 60);
        for (std::size_t line = first; line < first + 60; ++line)
            benchmark::DoNotOptimize(dump.line(line));
    }
}
BENCHMARK(screenOfLines)->Unit(benchmark::kMicrosecond);

} // namespace
