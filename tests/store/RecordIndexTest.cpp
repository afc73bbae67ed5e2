#include "RecordIndex.h"

#include "RowName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

using Records = std::vector<std::string>;

constexpr auto kNoLimit = std::numeric_limits<std::uint64_t>::max();

Records split(const std::string &file)
{
    const RecordIndex index(file, kNoLimit);
    Records records;
    for (std::size_t i = 0; i < index.count(); ++i)
        records.emplace_back(index.record(file, i));
    return records;
}

// The splitting rule read literally, one byte at a time.
Records splitNaively(const std::string &file)
{
    Records records;
    std::size_t at = 0;
    const auto byteAt = [&file](std::size_t i) {
        return i < file.size() ? file[i] : '\0';
    };
    while (byteAt(at) != '\0') {
        const std::size_t start = at;
        while (byteAt(at) != '\0' && byteAt(at) != '\r' && byteAt(at) != '\n')
            ++at;
        records.push_back(file.substr(start, at - start));
        if (byteAt(at) == '\r')
            ++at;
        if (byteAt(at) == '\n')
            ++at;
    }
    return records;
}

std::string randomText(std::mt19937 &random, std::size_t size, const std::string &alphabet)
{
    std::string text(size, '\0');
    for (char &byte : text)
        byte = alphabet[random() % alphabet.size()];
    return text;
}

struct SplitCase
{
    const char *name;
    std::string file;
    Records records;
};

void PrintTo(const SplitCase &row, std::ostream *out)
{
    *out << row.name;
}

class RecordIndexSplits : public testing::TestWithParam<SplitCase>
{};

const std::string k63(63, 'a');

} // namespace

TEST_P(RecordIndexSplits, FileIntoRecords)
{
    EXPECT_EQ(split(GetParam().file), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, RecordIndexSplits,
    testing::Values(SplitCase{"CrLf", "A\r\nB\r\n", {"A", "B"}},
                    SplitCase{"LfWithoutFinalLineEnd", "A\nB", {"A", "B"}},
                    SplitCase{"LoneCr", "A\rB", {"A", "B"}},
                    SplitCase{"LfCrEndsAnEmptyRecord", "A\n\rB", {"A", "", "B"}},
                    SplitCase{"CrCrLfEndsAnEmptyRecord", "A\r\r\nB", {"A", "", "B"}},
                    SplitCase{"FinalCrAddsNoRecord", "A\r", {"A"}},
                    SplitCase{"OnlyCrLfIsOneEmptyRecord", "\r\n", {""}},
                    SplitCase{"EmptyFile", "", {}},
                    SplitCase{"NulFirst", std::string("\0A\n", 3), {}},
                    SplitCase{"NulEndsEverything", std::string("A\0B\nD", 5), {"A"}},
                    SplitCase{"NulAfterLineEnd", std::string("A\r\n\0B", 5), {"A"}},
                    SplitCase{"OtherBytesKept",
                              "\x82\xA0\x81\x40\xFF\x7F\t \r\n\x01",
                              {"\x82\xA0\x81\x40\xFF\x7F\t ", "\x01"}},
                    SplitCase{"CrLfAcrossBlocks", k63 + "\r\nB", {k63, "B"}},
                    SplitCase{"LfCrAcrossBlocks", k63 + "\n\rB", {k63, "", "B"}}),
    [](const testing::TestParamInfo<SplitCase> &info) { return info.param.name; });

TEST(RecordIndex, SplitsRandomFilesAsTheRuleReadsLiterally)
{
    std::mt19937 random(12);
    const std::string alphabets[] = {std::string("\r\n\0a\x81", 5), "\r\na\xFF",
                                     "\r\n" + std::string(40, 'a')};
    for (int round = 0; round < 300; ++round) {
        const std::string file = randomText(random, random() % 300, alphabets[round % 3]);

        ASSERT_EQ(split(file), splitNaively(file)) << "round " << round;
    }
}

TEST(RecordIndex, SplitsFilesOfMillionsOfRecords)
{
    std::mt19937 random(5);
    const std::string file = randomText(random, 5'000'000, "\r\n\n\nab");

    const Records records = split(file);

    ASSERT_GT(records.size(), 2'000'000u);
    EXPECT_EQ(records, splitNaively(file));
}

TEST(RecordIndex, ThrowsBadAllocBeyondItsMemoryLimit)
{
    const std::string file(1000, '\n');

    EXPECT_THROW(RecordIndex(file, 4 * 1000), std::bad_alloc);
    EXPECT_EQ(RecordIndex(file, 4 * 2000).count(), 1000u);
}

namespace {

using Starts = std::vector<std::uint64_t>;

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// count + 1 starts, each the one before plus a gap drawn from gaps.
Starts randomStarts(std::mt19937 &random, std::size_t count, const Starts &gaps)
{
    Starts starts{0};
    while (starts.size() <= count)
        starts.push_back(starts.back() + gaps[random() % gaps.size()]);
    return starts;
}

// Feeds starts[from, to) as the splitters do: one by one, or as the bits of 64 bytes.
void feed(RecordIndex::Builder &builder, const Starts &starts, std::size_t from, std::size_t to,
          std::mt19937 &random)
{
    for (std::size_t i = from; i < to;) {
        if (random() % 2 == 0) {
            builder.add(starts[i++]);
            continue;
        }
        const std::uint64_t base = starts[i];
        std::uint64_t bits = 0;
        for (; i < to && starts[i] - base < 64 && !(bits >> (starts[i] - base) & 1); ++i)
            bits |= std::uint64_t{1} << (starts[i] - base);
        builder.add(base, bits);
    }
}

std::size_t plainRecordAt(const Starts &starts, std::uint64_t offset)
{
    const std::size_t count = starts.size() - 1;
    if (offset >= starts[count])
        return count;
    const auto after = std::upper_bound(starts.begin(), starts.begin() + count, offset);
    return after == starts.begin() ? 0 : static_cast<std::size_t>(after - starts.begin() - 1);
}

void expectSameAsPlain(const RecordIndex &index, const Starts &starts, std::mt19937 &random)
{
    ASSERT_EQ(index.count(), starts.size() - 1);
    for (std::size_t i = 0; i < starts.size(); ++i)
        ASSERT_EQ(index.start(i), starts[i]) << "start " << i;
    // Around every start of the first blocks, and around the edges of the others.
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (i > 3 * RecordIndex::kBlockStarts && (i + 1) % RecordIndex::kBlockStarts > 2)
            continue;
        for (const std::uint64_t offset : {starts[i] - 1, starts[i], starts[i] + 1})
            ASSERT_EQ(index.recordAt(offset), plainRecordAt(starts, offset)) << "at " << offset;
    }
    for (int probe = 0; probe < 10'000; ++probe) {
        const std::uint64_t offset =
            (std::uint64_t{random()} << 32 | random()) % (starts.back() + 2);
        ASSERT_EQ(index.recordAt(offset), plainRecordAt(starts, offset)) << "at " << offset;
    }
}

struct GapCase
{
    const char *name;
    std::size_t records;
    Starts gaps;
};

class RecordIndexStarts : public testing::TestWithParam<GapCase>
{};

} // namespace

TEST_P(RecordIndexStarts, AreThoseOfAPlainVector)
{
    std::mt19937 random(7);
    const Starts starts = randomStarts(random, GetParam().records, GetParam().gaps);
    RecordIndex index;
    RecordIndex::Builder builder(index, starts.size(), kNoLimit);

    feed(builder, starts, 0, starts.size(), random);
    builder.finish(starts.size() - 1);

    expectSameAsPlain(index, starts, random);
}

// As the two threads of a split put their halves together.
TEST_P(RecordIndexStarts, AreThoseOfAPlainVectorAfterAnAppend)
{
    std::mt19937 random(8);
    const Starts starts = randomStarts(random, GetParam().records, GetParam().gaps);
    for (const std::size_t cut : {std::size_t{1}, starts.size() / 3, starts.size() - 1}) {
        RecordIndex second;
        RecordIndex::Builder secondBuilder(second, starts.size() - cut, kNoLimit);
        feed(secondBuilder, starts, cut, starts.size(), random);
        RecordIndex index;
        RecordIndex::Builder builder(index, starts.size(), kNoLimit);
        feed(builder, starts, 0, cut, random);

        builder.append(second, starts.size() - cut);
        builder.finish(starts.size() - 1);

        expectSameAsPlain(index, starts, random);
        EXPECT_EQ(second.count(), 0u);
    }
}

constexpr std::size_t kBlocks = 3 * RecordIndex::kBlockStarts + 100;

INSTANTIATE_TEST_SUITE_P(
    Gaps, RecordIndexStarts,
    testing::Values(
        GapCase{"ShortLinesOverSeveralChunks", 1'100'000, {1, 2, 5, 17, 40, 63, 64, 65}},
        GapCase{"EmptyRdwRecords", kBlocks, {0, 0, 4, 4, 9, 300}},
        GapCase{"NowAndThenALineOver4GiB",
                kBlocks,
                {1, 30, 64, 200, 5000, 70'000, k4GiB - 1, k4GiB, k4GiB + 63, 5 * k4GiB}},
        GapCase{"LinesOver1MiBThatFillABlockPast4GiB", kBlocks, {(1 << 20) + 1, 1 << 21}},
        GapCase{"EveryLineOver4GiB", kBlocks, {k4GiB, 3 * k4GiB}}),
    rowName<GapCase>);
