#include "RecordIndex.h"

#include <gtest/gtest.h>

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
