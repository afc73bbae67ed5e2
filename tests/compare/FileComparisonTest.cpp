#include "FileComparison.h"
#include "FailureMessage.h"
#include "StoreOf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Difference = FileComparison::Difference;
using Side = Difference::Side;

std::vector<Difference> allDifferences(const FileComparison &comparison)
{
    std::vector<Difference> found;
    comparison.scan(0, [&](const Difference &difference) {
        found.push_back(difference);
        return true;
    });
    return found;
}

TEST(FileComparisonTest, IdenticalFilesHaveNoDifference)
{
    const RecordStore a = storeOf("one\r\ntwo\r\nthree\r\n");
    const RecordStore b = storeOf("one\r\ntwo\r\nthree\r\n");
    const FileComparison comparison(a, b);
    EXPECT_EQ(comparison.next(0), std::nullopt);
    EXPECT_EQ(comparison.previous(3), std::nullopt);
    EXPECT_EQ(comparison.counts(), FileComparison::Counts{});
}

TEST(FileComparisonTest, RecordsOfDifferentCountsAndLengths)
{
    const RecordStore a = storeOf("same\nabcd\nsame\nx\nonly A\nonly A too\n");
    const RecordStore b = storeOf("same\nabXd\nsame\nxyz\n");
    const FileComparison comparison(a, b);
    EXPECT_EQ(
        allDifferences(comparison),
        (std::vector<Difference>{
            {1, Side::Both, 2, 1}, {3, Side::Both, 1, 2}, {4, Side::OnlyA}, {5, Side::OnlyA}}));
    EXPECT_EQ(comparison.counts(), (FileComparison::Counts{2, 2, 0}));
    EXPECT_EQ(comparison.next(2)->record, 3u);
    EXPECT_EQ(comparison.previous(3)->record, 1u);
    EXPECT_EQ(comparison.previous(1), std::nullopt);
    EXPECT_EQ(FileComparison(b, a).counts(), (FileComparison::Counts{2, 0, 2}));
}

// Equal bytes are passed over across records; where line ends differ the records still
// match, and records after them sit at other offsets in each file.
TEST(FileComparisonTest, LineEndsAndShiftedRecords)
{
    const RecordStore a = storeOf("aaa\r\nbbb\r\nccc\r\nddd\r\n");
    const RecordStore b = storeOf("aaa\r\nbbb\nccc\nddD\r\n");
    EXPECT_EQ(allDifferences(FileComparison(a, b)),
              (std::vector<Difference>{{3, Side::Both, 2, 1}}));
}

TEST(FileComparisonTest, AnEmptyRecordAgainstAFullOne)
{
    const RecordStore a = storeOf("x\n\ny\n");
    const RecordStore b = storeOf("x\nfull\ny\n");
    EXPECT_EQ(allDifferences(FileComparison(a, b)),
              (std::vector<Difference>{{1, Side::Both, 0, 4}}));
}

// The last record of a big file differs in one byte: the walk must still find it, and only it.
TEST(FileComparisonTest, OneByteChangedInTheLastOfManyRecords)
{
    std::string text;
    for (int record = 0; record < 20000; ++record)
        text += "record " + std::to_string(record) + " of the day\r\n";
    std::string changed = text;
    changed[changed.size() - 5] = '!';
    const RecordStore a = storeOf(text);
    const RecordStore b = storeOf(changed);
    EXPECT_EQ(allDifferences(FileComparison(a, b)),
              (std::vector<Difference>{{19999, Side::Both, 20, 1}}));
}

TEST(FileComparisonTest, FixedLengthRecords)
{
    const TempDir folder;
    RecordStore a, b;
    a.load(folder.write("a", std::string("12\n45\0"
                                         "78",
                                         8)),
           Framing::fixedLength(3));
    b.load(folder.write("b", std::string("12\n4X\0"
                                         "7",
                                         7)),
           Framing::fixedLength(3));
    EXPECT_EQ(allDifferences(FileComparison(a, b)),
              (std::vector<Difference>{{1, Side::Both, 1, 1}, {2, Side::Both, 1, 1}}));
}

// Record by record, as a reader would compare them.
std::vector<Difference> referenceDifferences(const RecordStore &a, const RecordStore &b)
{
    std::vector<Difference> found;
    for (std::size_t index = 0; index < std::max(a.count(), b.count()); ++index) {
        const auto at = static_cast<std::int64_t>(index);
        if (index >= b.count()) {
            found.push_back({index, Side::OnlyA});
        } else if (index >= a.count()) {
            found.push_back({index, Side::OnlyB});
        } else {
            const std::string_view x = a.record(at).bytes, y = b.record(at).bytes;
            std::uint64_t first = std::max(x.size(), y.size()), differing = 0;
            for (std::size_t column = 0; column < std::max(x.size(), y.size()); ++column) {
                if (column < x.size() && column < y.size() && x[column] == y[column])
                    continue;
                first = std::min<std::uint64_t>(first, column);
                ++differing;
            }
            if (differing)
                found.push_back({index, Side::Both, first, differing});
        }
    }
    return found;
}

// The differing records found by previous() from the end, last first.
std::vector<Difference> allDifferencesBackwards(const FileComparison &comparison)
{
    std::vector<Difference> found;
    for (auto difference = comparison.previous(comparison.recordCount()); difference;
         difference = comparison.previous(difference->record))
        found.insert(found.begin(), *difference);
    return found;
}

// Line ends, NULs and edits that shift the records after them: passing over equal bytes must
// never pass over a record that differs, whatever the framing.
TEST(FileComparisonTest, AgreesWithARecordByRecordComparison)
{
    const TempDir folder;
    std::mt19937 random(11);
    const std::string alphabet("ab\r\n\0", 5);
    for (int round = 0; round < 150; ++round) {
        std::string a(random() % 400, 'a');
        for (char &byte : a)
            byte = random() % 4 ? 'a' : alphabet[random() % alphabet.size()];
        std::string b = a;
        for (int edit = random() % 4; edit > 0 && !b.empty(); --edit) {
            const std::size_t at = random() % b.size();
            if (random() % 2)
                b[at] = alphabet[random() % alphabet.size()];
            else
                b.insert(at, 1, alphabet[random() % alphabet.size()]);
        }
        const Framing framing =
            round % 2 ? Framing::lines() : Framing::fixedLength(1 + random() % 7);
        RecordStore storeA, storeB;
        storeA.load(folder.write("a", a), framing);
        storeB.load(folder.write("b", b), framing);
        const std::vector<Difference> reference = referenceDifferences(storeA, storeB);
        ASSERT_EQ(allDifferences(FileComparison(storeA, storeB)), reference) << round;
        ASSERT_EQ(allDifferencesBackwards(FileComparison(storeA, storeB)), reference) << round;
    }
}

std::string rdwOf(const std::vector<std::string> &records)
{
    std::string bytes;
    for (const std::string &record : records) {
        const std::size_t length = record.size() + 4;
        bytes += {char(length >> 8), char(length & 0xFF), '\0', '\0'};
        bytes += record;
    }
    return bytes;
}

// The same bytes framed otherwise: two records of one file are one record of the other, the
// second's descriptor word among its bytes. Equal bytes after a record's start must not
// make it equal.
TEST(FileComparisonTest, RdwRecordsThatOneFileJoins)
{
    std::mt19937 random(13);
    for (int round = 0; round < 60; ++round) {
        std::vector<std::string> records(1 + random() % 12);
        for (std::string &record : records) {
            record.resize(random() % 10);
            for (char &byte : record)
                byte = "ab\0"[random() % 3];
        }
        std::vector<std::string> joined = records;
        if (joined.size() > 1) {
            const std::size_t at = random() % (joined.size() - 1);
            joined[at] = rdwOf({joined[at], joined[at + 1]}).substr(4);
            joined.erase(joined.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        }
        const RecordStore a = storeOf(rdwOf(records), Framing::rdw());
        const RecordStore b = storeOf(rdwOf(joined), Framing::rdw());
        const std::vector<Difference> reference = referenceDifferences(a, b);
        ASSERT_EQ(allDifferences(FileComparison(a, b)), reference) << round;
        ASSERT_EQ(allDifferencesBackwards(FileComparison(a, b)), reference) << round;
    }
}

} // namespace

// Whatever reports a difference, or none, first makes sure neither file was cut underneath.
TEST(FileComparisonTest, ACompareOfAFileCutUnderneathFailsWithTheChangedMessage)
{
    const TempDir folder;
    const std::string lines = std::string(1 << 16, 'a');
    const std::string path = folder.write("cut.txt", lines);
    RecordStore a;
    a.load(path, Framing::fixedLength(100));
    const RecordStore b = storeOf(lines, Framing::fixedLength(100));
    const FileComparison comparison(a, b);
    ASSERT_EQ(truncate(path.c_str(), 4096), 0);
    const std::string changed = "ファイル " + path + " は読み込み中に変更されました";

    EXPECT_EQ(failureMessage([&] { comparison.next(0); }), changed);
    EXPECT_EQ(failureMessage([&] { comparison.previous(a.count()); }), changed);
    EXPECT_EQ(failureMessage([&] { comparison.differenceAt(a.count() - 1); }), changed);
    EXPECT_EQ(failureMessage([&] { allDifferences(comparison); }), changed);
}
