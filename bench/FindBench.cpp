#include "EncodingCatalog.h"
#include "FindSession.h"
#include "RecordFinder.h"
#include "RecordStore.h"

#include "ShiftJisText.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

constexpr std::size_t kFileBytes = std::size_t{512} << 20;
// 検索, in Shift-JIS 8C 9F 8D F5: ShiftJisText never makes its trail bytes.
const std::string kUtf8Text = "\xE6\xA4\x9C\xE7\xB4\xA2";
const std::string kShiftJisText = "\x8C\x9F\x8D\xF5";

// 512 MiB of short lines whose last record alone holds the text, loaded once for all.
class SampleStore
{
public:
    SampleStore() : m_path(std::filesystem::temp_directory_path() / "qarvo-find-bench.txt")
    {
        {
            std::string text = shiftJisLines(kFileBytes - 64);
            text += "\r\nlast " + kShiftJisText + " record\r\n";
            std::ofstream(m_path, std::ios::binary)
                .write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        m_store.load(m_path.string());
        std::filesystem::remove(m_path);
    }

    const RecordStore &store() const { return m_store; }

private:
    std::filesystem::path m_path;
    RecordStore m_store;
};

const SampleStore &sample()
{
    static const SampleStore store;
    return store;
}

// As the find bar does it: from the first record, and the hit's ordinal and the count with it.
void nextHitInTheLastRecord(benchmark::State &state)
{
    const RecordStore &store = sample().store();
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    for (auto _ : state) {
        FindSession session(store, encoding, FindPattern::text(kUtf8Text, *encoding, true));
        const FindSession::Outcome outcome =
            session.find(FindSession::Direction::Next, {0, 0}, false);
        if (!outcome.hit || outcome.hit->record + 1 != store.count())
            state.SkipWithError("the hit is not in the last record");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

// The search alone, to the first hit.
void firstHitInTheLastRecord(benchmark::State &state)
{
    const RecordStore &store = sample().store();
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    const FindPattern pattern = FindPattern::text(kUtf8Text, *encoding, true);
    for (auto _ : state) {
        std::size_t record = 0;
        RecordFinder(store, *encoding, pattern).scan(0, store.count() - 1, [&](const FindHit &hit) {
            record = hit.record;
            return false;
        });
        benchmark::DoNotOptimize(record);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

// Every hit: of the text in the last record (0), and of 院, 89 40, which is common in the text
// and comes as a trail byte and lead byte too, so that boundaries are checked often (1).
void countAllHits(benchmark::State &state)
{
    const RecordStore &store = sample().store();
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    const FindPattern pattern =
        FindPattern::text(state.range(0) ? "\xE9\x99\xA2" : kUtf8Text, *encoding, true);
    std::uint64_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        RecordFinder(store, *encoding, pattern).scan(0, store.count() - 1, [&](const FindHit &) {
            ++hits;
            return true;
        });
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = static_cast<double>(hits);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

} // namespace

BENCHMARK(nextHitInTheLastRecord)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(firstHitInTheLastRecord)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(countAllHits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
