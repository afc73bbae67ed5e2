#include "RecordStore.h"

#include "FailureMessage.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Records = std::vector<std::string>;

Records allRecords(const RecordStore &store)
{
    Records records;
    for (std::size_t i = 0; i < store.count(); ++i)
        records.emplace_back(store.record(static_cast<std::int64_t>(i)).bytes);
    return records;
}

std::string outOfRange(const std::string &index)
{
    return "リストのインデックスが範囲を超えています (" + index + ")";
}

struct OutOfMemoryCase
{
    const char *name;
    std::string file;
};

void PrintTo(const OutOfMemoryCase &row, std::ostream *out)
{
    *out << row.name;
}

class RecordStoreOutOfMemory : public testing::TestWithParam<OutOfMemoryCase>
{};

} // namespace

TEST(RecordStore, LoadsTheLinesOfAFile)
{
    TempDir dir;
    RecordStore store;

    store.load(dir.write("lines.txt", std::string("A\r\n\x82\xA0\n\rB\0C", 10)));

    EXPECT_EQ(allRecords(store), (Records{"A", "\x82\xA0", "", "B"}));
}

TEST(RecordStore, RefusesIndexesOutsideTheList)
{
    TempDir dir;
    RecordStore store;
    EXPECT_EQ(failureMessage([&] { store.record(0); }), outOfRange("0"));

    store.load(dir.write("two.txt", "A\nB\n"));

    EXPECT_EQ(failureMessage([&] { store.record(-1); }), outOfRange("-1"));
    EXPECT_EQ(failureMessage([&] { store.record(2); }), outOfRange("2"));
    EXPECT_EQ(store.record(1).bytes, "B");
}

TEST(RecordStore, LoadReplacesEveryRecordAndEarlierRecordsStayReadable)
{
    TempDir dir;
    RecordStore store;
    store.load(dir.write("first.txt", "1\n2\n3\n"));
    const Record kept = store.record(2);

    store.load(dir.write("second.txt", "X"));

    EXPECT_EQ(allRecords(store), Records{"X"});
    EXPECT_EQ(kept.bytes, "3");
}

TEST(RecordStore, LoadOfAnEmptyFileLeavesNoRecords)
{
    TempDir dir;
    RecordStore store;
    store.load(dir.write("first.txt", "1\n"));

    store.load(dir.write("empty.txt", ""));

    EXPECT_EQ(store.count(), 0u);
}

TEST(RecordStore, FailedOpenKeepsThePreviousRecords)
{
    TempDir dir;
    RecordStore store;
    store.load(dir.write("previous.txt", "A\nB\n"));
    const std::string missing = dir.path("missing.txt");

    const std::string message = failureMessage([&] { store.load(missing); });

    EXPECT_EQ(message, "ファイル " + missing + " は開けません");
    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
}

TEST_P(RecordStoreOutOfMemory, KeepsThePreviousRecords)
{
    TempDir dir;
    // Room for a small file and its index; not for 2001 bytes, nor for 1000 bytes that
    // hold 1000 records of 8 bytes of index each.
    RecordStore store(2000);
    store.load(dir.write("previous.txt", "A\nB\n"));

    const std::string message =
        failureMessage([&] { store.load(dir.write("next.txt", GetParam().file)); });

    EXPECT_EQ(message, "メモリが足りません");
    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
}

INSTANTIATE_TEST_SUITE_P(Loads, RecordStoreOutOfMemory,
                         testing::Values(OutOfMemoryCase{"ForTheFile", std::string(2001, 'x')},
                                         OutOfMemoryCase{"ForTheIndex", std::string(1000, '\n')}),
                         [](const testing::TestParamInfo<OutOfMemoryCase> &info) {
                             return info.param.name;
                         });
