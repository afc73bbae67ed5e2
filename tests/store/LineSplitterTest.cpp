#include "LineSplitter.h"

#include "RowName.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using Records = std::vector<std::string>;

constexpr auto kNoLimit = std::numeric_limits<std::uint64_t>::max();

Records recordsOf(const RecordIndex &index, const std::string &file)
{
    Records records;
    for (std::size_t i = 0; i < index.count(); ++i)
        records.emplace_back(index.record(file, i));
    return records;
}

// The file as it arrives in pieces ending at cuts, then whole.
Records splitInPieces(const std::string &file, const std::vector<std::size_t> &cuts)
{
    RecordIndex index;
    LineSplitter splitter(index, file.size(), kNoLimit);
    bool done = false;
    for (const std::size_t cut : cuts)
        done = splitter.take(std::string_view(file).substr(0, cut), false);
    if (!done)
        splitter.take(file, true);
    return recordsOf(index, file);
}

struct PieceCase
{
    const char *name;
    std::string file;
};

class LineSplitterPieces : public testing::TestWithParam<PieceCase>
{};

const std::string k62(62, 'a');

} // namespace

// Wherever the reads happen to stop, the records are those of the file split at once.
TEST_P(LineSplitterPieces, GiveTheRecordsOfTheWholeForEveryOneOrTwoCuts)
{
    const std::string &file = GetParam().file;
    const Records whole = recordsOf(RecordIndex(file, kNoLimit), file);

    for (std::size_t first = 0; first <= file.size(); ++first) {
        ASSERT_EQ(splitInPieces(file, {first}), whole) << "cut at " << first;
        for (std::size_t second = first; second <= file.size(); ++second)
            ASSERT_EQ(splitInPieces(file, {first, second}), whole)
                << "cuts at " << first << " and " << second;
    }
}

// Wherever the second thread starts, the records are those of one thread's split.
TEST_P(LineSplitterPieces, GiveTheRecordsOfTheWholeWhereverTheSecondThreadStarts)
{
    const std::string &file = GetParam().file;
    const Records whole = recordsOf(RecordIndex(file, kNoLimit), file);

    for (std::size_t from = 0; from <= file.size(); ++from)
        ASSERT_EQ(recordsOf(LineSplitter::split(file, kNoLimit, nullptr, from), file), whole)
            << "second thread from " << from;
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, LineSplitterPieces,
    testing::Values(PieceCase{"CrLfPairs", "ab\r\ncd\r\n\r\nef"},
                    PieceCase{"LoneCrsAndLfCr", "a\rb\n\rc\r\r\n"},
                    PieceCase{"NulInsideALine", std::string("ab\r\ncd\0e\r\nf", 11)},
                    PieceCase{"NulAfterCr", std::string("ab\r\0\ncd", 7)},
                    PieceCase{"LastLineWithoutEnd", "a\nbcdefgh"},
                    PieceCase{"CrLfAcrossABlock", k62 + "\r\r\nxy\r"},
                    PieceCase{"NulAtTheBlockEnd", k62 + "\n" + std::string(1, '\0') + "\n"},
                    PieceCase{"NulsEarlyAndLate", std::string("a\r\nb\0c\rd\n\0e\r", 13)},
                    PieceCase{"LineEndsOnly", "\r\n\n\r\r\n\r"},
                    PieceCase{"LongLinesAcrossBlocks", k62 + "\r\n" + k62 + k62 + "\r" + k62}),
    rowName<PieceCase>);

TEST(LineSplitter, StopsTakingOnceANulEndedTheRecords)
{
    const std::string file("a\nb\0c\nd\n", 8);
    RecordIndex index;
    LineSplitter splitter(index, file.size(), kNoLimit);

    const bool finished = splitter.take(std::string_view(file).substr(0, 5), false);

    EXPECT_TRUE(finished);
    EXPECT_EQ(splitter.done(), 3u);
    EXPECT_EQ(recordsOf(index, file), (Records{"a", "b"}));
}

TEST(LineSplitter, SplitsRandomFilesOnTwoThreadsAsOnOne)
{
    std::mt19937 random(3);
    const std::string alphabets[] = {std::string("\r\n\0a", 4), "\r\nab",
                                     std::string("\r\n\n") + std::string(1, '\0') + "abcdefgh"};
    for (int round = 0; round < 200; ++round) {
        std::string file(random() % 2000, 'a');
        for (char &byte : file)
            byte = alphabets[round % 3][random() % alphabets[round % 3].size()];
        const std::size_t from = random() % (file.size() + 1);

        const RecordIndex index = LineSplitter::split(file, kNoLimit, nullptr, from);

        ASSERT_EQ(recordsOf(index, file), recordsOf(RecordIndex(file, kNoLimit), file))
            << "round " << round << ", second thread from " << from;
    }
}

// Past the size that pays for a second thread, which then starts near the middle.
TEST(LineSplitter, SplitsABigFileOnTwoThreadsAsOnOne)
{
    std::mt19937 random(4);
    const std::string alphabet = "\r\n" + std::string(30, 'a');
    std::string chunk(1 << 20, 'a');
    for (char &byte : chunk)
        byte = alphabet[random() % alphabet.size()];
    std::string file;
    for (int i = 0; i < 65; ++i)
        file += chunk;
    file += "\rtail";

    const RecordIndex both = LineSplitter::split(file, kNoLimit);
    const RecordIndex one = LineSplitter::split(file, kNoLimit, nullptr, file.size());

    ASSERT_EQ(both.count(), one.count());
    for (std::size_t i = 0; i <= one.count(); ++i)
        ASSERT_EQ(both.start(i), one.start(i)) << "start " << i;
}

// Either thread may be the one to see the Cancel.
TEST(LineSplitter, SplitHeedsCancelOnEitherThread)
{
    const std::string file(40 << 20, '\n');
    for (const std::size_t from : {std::size_t{0}, file.size() / 2, file.size()}) {
        LoadControl control;
        control.cancel();

        EXPECT_THROW(LineSplitter::split(file, kNoLimit, &control, from), LoadControl::Cancelled)
            << "second thread from " << from;
    }
}

TEST(LineSplitter, SplitTellsHowFarItGot)
{
    const std::string file(40 << 20, 'a');
    LoadControl control;
    control.begin(file.size());

    const RecordIndex index = LineSplitter::split(file, kNoLimit, &control, file.size() / 2);

    EXPECT_EQ(index.count(), 1u);
    // How far the second thread got by then is up to the scheduler.
    EXPECT_GE(control.done(), 4u << 20);
    EXPECT_LE(control.done(), file.size());
}
