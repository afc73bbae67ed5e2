#include "RecordStore.h"

#include "FailureMessage.h"
#include "FileReader.h"
#include "ReadAhead.h"
#include "RowName.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

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

constexpr std::uint64_t kPage = 4096;

// Lines of 99 bytes and a line end over pages bytes.
std::string linesOver(std::uint64_t bytes)
{
    std::string text(bytes, 'x');
    for (std::size_t i = 99; i < bytes; i += 100)
        text[i] = '\n';
    return text;
}

std::string changedMessage(const std::string &path)
{
    return "ファイル " + path + " は読み込み中に変更されました";
}

// A file that another program cuts short right after it is mapped, before the load's scan.
class CutOnceMapped final : public ByteSource
{
public:
    CutOnceMapped(const std::string &path, std::uint64_t cutTo)
        : m_file(path), m_path(path), m_cutTo(cutTo)
    {}
    std::uint64_t size() const override { return m_file.size(); }
    std::size_t readAt(std::uint64_t offset, char *out, std::size_t count) const override
    {
        return m_file.readAt(offset, out, count);
    }
    std::unique_ptr<FileMapping> map() const override
    {
        auto mapping = m_file.map();
        if (truncate(m_path.c_str(), static_cast<off_t>(m_cutTo)) != 0)
            throw std::runtime_error("cannot cut " + m_path);
        return mapping;
    }

private:
    FileReader m_file;
    std::string m_path;
    std::uint64_t m_cutTo;
};

struct CutCase
{
    const char *name;
    std::uint64_t size;
    std::uint64_t cutTo;
};

class RecordStoreCut : public testing::TestWithParam<CutCase>
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
    // Room for a small file's index; not for 1000 records of 4 bytes of index each.
    RecordStore store(2000);
    store.load(dir.write("previous.txt", "A\nB\n"));

    const std::string message =
        failureMessage([&] { store.load(dir.write("next.txt", GetParam().file)); });

    EXPECT_EQ(message, "メモリが足りません");
    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
}

INSTANTIATE_TEST_SUITE_P(Loads, RecordStoreOutOfMemory,
                         testing::Values(OutOfMemoryCase{"ForTheIndex", std::string(1000, '\n')}),
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

// Mapped bytes are the page cache's; a copy, where the file cannot be mapped, is the store's.
TEST(RecordStore, OnlyBytesReadIntoMemoryCountAgainstTheMemoryLimit)
{
    TempDir dir;
    RecordStore store(2000);

    store.load(dir.write("mapped.dat", std::string(4000, 'x')), Framing::fixedLength(1000));
    const std::string message = failureMessage(
        [&] { store.load(BytesSource(std::string(2001, 'x')), Framing::fixedLength(1000)); });

    EXPECT_EQ(store.count(), 4u);
    EXPECT_EQ(message, "メモリが足りません");
}

TEST_P(RecordStoreCut, ALoadOfAFileCutWhileScannedFailsAndKeepsThePreviousRecords)
{
    TempDir dir;
    RecordStore store;
    store.load(dir.write("previous.txt", "A\nB\n"));
    const std::string path = dir.write("cut.txt", linesOver(GetParam().size));

    const std::string message = failureMessage(
        [&] { store.load(CutOnceMapped(path, GetParam().cutTo), Framing::lines()); });

    EXPECT_EQ(message, changedMessage(path));
    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
}

INSTANTIATE_TEST_SUITE_P(Cuts, RecordStoreCut,
                         testing::Values(CutCase{"BelowTheMappedPages", 16 * kPage, kPage},
                                         CutCase{"WithinTheLastPage", kPage + 500, kPage + 100},
                                         CutCase{"ToNothing", 3 * kPage, 0}),
                         rowName<CutCase>);

// Every record is read after the cut, as a find or a paint would: no crash, nothing of the
// file past the cut, and the store tells, with a record kept from before too.
TEST(RecordStore, AStoreWhoseFileIsCutReadsEveryRecordAndSaysItChanged)
{
    TempDir dir;
    const std::string path = dir.write("cut.txt", linesOver(16 * kPage));
    RecordStore store;
    store.load(path);
    const Record kept = store.record(static_cast<std::int64_t>(store.count() - 1));
    const bool changedBefore = store.changed();
    ASSERT_EQ(truncate(path.c_str(), kPage), 0);

    const Records records = allRecords(store);

    EXPECT_FALSE(changedBefore);
    EXPECT_TRUE(store.changed());
    EXPECT_EQ(failureMessage([&] { store.throwIfChanged(); }), changedMessage(path));
    EXPECT_EQ(records.size(), store.count());
    EXPECT_EQ(records.back().find_first_not_of('\0'), std::string::npos);
    EXPECT_EQ(kept.bytes.find_first_not_of('\0'), std::string::npos);
}

TEST(RecordStore, AFileThatGrowsKeepsTheRecordsLoaded)
{
    TempDir dir;
    const std::string path = dir.write("growing.txt", "A\nB");
    RecordStore store;
    store.load(path);

    std::ofstream(path, std::ios::app) << "C\nD\n";

    EXPECT_EQ(allRecords(store), (Records{"A", "B"}));
    EXPECT_FALSE(store.changed());
}

TEST(RecordStore, AMappedLoadTellsItsProgressAndCanBeCancelled)
{
    TempDir dir;
    const std::string path = dir.write("big.txt", linesOver(3 * ReadAhead::kPieceBytes));
    RecordStore store;
    LoadControl progress;
    LoadControl cancelled;
    cancelled.cancel();

    store.load(path, Framing::lines(), &progress);
    const std::size_t count = store.count();

    EXPECT_EQ(progress.total(), 3 * ReadAhead::kPieceBytes);
    EXPECT_EQ(progress.done(), progress.total());
    EXPECT_THROW(store.load(dir.write("next.txt", linesOver(3 * ReadAhead::kPieceBytes)),
                            Framing::lines(), &cancelled),
                 LoadControl::Cancelled);
    EXPECT_EQ(store.count(), count);
}
