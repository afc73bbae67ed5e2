#include "RecordStore.h"

#include "FailureMessage.h"
#include "ReadAhead.h"
#include "RowName.h"
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

struct FixedCase
{
    const char *name;
    std::string file;
    std::uint64_t length;
    Records records;
};

class RecordStoreFixedLength : public testing::TestWithParam<FixedCase>
{};

const std::string kControls("A\r\n\0B", 5);

// Bytes that run out early or stop on cancel, without a file.
class BytesSource final : public ByteSource
{
public:
    explicit BytesSource(std::string bytes, LoadControl *cancelAfterFirstRead = nullptr)
        : m_bytes(std::move(bytes)), m_cancel(cancelAfterFirstRead)
    {}
    std::uint64_t size() const override { return m_bytes.size(); }
    std::size_t readAt(std::uint64_t offset, char *out, std::size_t count) const override
    {
        const std::string_view piece = std::string_view(m_bytes).substr(offset, count);
        piece.copy(out, piece.size());
        if (m_cancel)
            m_cancel->cancel();
        return piece.size();
    }

private:
    std::string m_bytes;
    LoadControl *m_cancel;
};

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

TEST_P(RecordStoreFixedLength, CutsEveryLengthBytes)
{
    TempDir dir;
    RecordStore store;

    store.load(dir.write("fixed.dat", GetParam().file), Framing::fixedLength(GetParam().length));

    EXPECT_EQ(allRecords(store), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, RecordStoreFixedLength,
    testing::Values(FixedCase{"One", "abc", 1, {"a", "b", "c"}},
                    FixedCase{"AboveTheFileSize", "abc", 10, {"abc"}},
                    FixedCase{"MultipleOfTheLength", "abcdef", 3, {"abc", "def"}},
                    FixedCase{"LastRecordShorter", "abcdefg", 3, {"abc", "def", "g"}},
                    FixedCase{
                        "NulCrLfAreBytesLikeAny", kControls + kControls, 5, {kControls, kControls}},
                    FixedCase{"EmptyFileHasNoRecord", "", 4, {}},
                    FixedCase{"MostLength", "ab", Framing::kMostLength, {"ab"}}),
    rowName<FixedCase>);

TEST(RecordStore, HoldsTheWholeFilePastANul)
{
    TempDir dir;
    RecordStore store;
    const std::string file("A\nB\0C\nD", 7);

    store.load(dir.write("nul.txt", file));

    EXPECT_EQ(store.bytes(), file);
    EXPECT_EQ(store.record(1).bytes.data(), store.bytes().data() + 2);
}

TEST(RecordStore, ReframedBackToLinesGivesTheRecordsOfAFreshLoad)
{
    TempDir dir;
    const std::string path = dir.write("mixed.txt", std::string("ab\r\ncd\0ef\ngh\r", 13));
    RecordStore fresh;
    fresh.load(path);
    RecordStore store;
    store.load(path, Framing::fixedLength(3));

    const RecordStore lines = store.reframed(Framing::fixedLength(2)).reframed(Framing::lines());

    EXPECT_EQ(allRecords(lines), allRecords(fresh));
    EXPECT_EQ(lines.framing(), Framing::lines());
    EXPECT_EQ(allRecords(store), (Records{"ab\r", "\ncd", std::string("\0ef", 3), "\ngh", "\r"}));
}

TEST(RecordStore, FailedRdwFramingKeepsThePreviousRecordsAndFraming)
{
    TempDir dir;
    RecordStore store;
    store.load(dir.write("previous.txt", "A\nB\n"));

    const std::string message = failureMessage(
        [&] { store.load(dir.write("bad.dat", std::string("\0\x02\0\0", 4)), Framing::rdw()); });

    EXPECT_EQ(message, "RDW at offset 0: length 2 is below 4");
    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
    EXPECT_EQ(store.framing(), Framing::lines());
}

TEST(RecordStore, LoadsRdwRecords)
{
    TempDir dir;
    RecordStore store;

    store.load(dir.write("v.dat", std::string("\0\x06\0\0\r\n\0\x04\0\0", 10)), Framing::rdw());

    EXPECT_EQ(allRecords(store), (Records{"\r\n", ""}));
    // An RDW goes with the record before it, as a line end does, the first with the first;
    // the empty last record holds no byte.
    const std::size_t holders[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    for (std::uint64_t offset = 0; offset <= 10; ++offset)
        EXPECT_EQ(store.recordAt(offset), holders[offset]) << offset;
}

// Across the reader's pieces: a CR LF split between two, a NUL in the second.
TEST(RecordStore, SplitsLinesAcrossTheReadersPieces)
{
    std::string file(ReadAhead::kPieceBytes - 1, 'a');
    file += "\r\nb\nc";
    file += std::string(ReadAhead::kPieceBytes, 'd') + '\0' + "\ne";
    RecordStore store;

    store.load(BytesSource(file), Framing::lines());

    ASSERT_EQ(store.count(), 3u);
    EXPECT_EQ(store.record(0).bytes.size(), ReadAhead::kPieceBytes - 1);
    EXPECT_EQ(store.record(1).bytes, "b");
    EXPECT_EQ(store.record(2).bytes.size(), ReadAhead::kPieceBytes + 1);
    EXPECT_EQ(store.bytes(), file);
}

TEST(RecordStore, CancelledLoadKeepsThePreviousRecords)
{
    RecordStore store;
    store.load(BytesSource("A\nB"), Framing::lines());
    LoadControl control;

    EXPECT_THROW(store.load(BytesSource(std::string(3 * ReadAhead::kPieceBytes, '\n'), &control),
                            Framing::lines(), &control),
                 LoadControl::Cancelled);

    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
}
