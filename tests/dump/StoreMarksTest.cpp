#include "StoreMarks.h"

#include "CatalogEncodings.h"
#include "Encoding.h"
#include "LeadByteEncoding.h"
#include "StoreOf.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

struct Found
{
    std::size_t record;
    Mark mark;

    bool operator==(const Found &) const = default;
};

void PrintTo(const Found &found, std::ostream *out)
{
    *out << found.record << ':' << found.mark.offset << '+' << found.mark.length << ' '
         << Mark::reason(found.mark.kind);
}

StoreMarks::Sink into(std::vector<Found> &found, const RecordStore &store)
{
    return [&](std::size_t record, std::string_view bytes, const Mark &mark) {
        EXPECT_EQ(bytes, store.record(static_cast<std::int64_t>(record)).bytes);
        found.push_back({record, mark});
    };
}

std::vector<Found> marksOf(const RecordStore &store, const Encoding &encoding)
{
    std::vector<Found> found;
    StoreMarks::forEach(store, encoding, into(found, store));
    return found;
}

std::vector<Found> marksOf(const RecordStore &store, const Encoding &encoding,
                           std::uint64_t secondFrom)
{
    std::vector<Found> found;
    StoreMarks::forEach(store, encoding, into(found, store), secondFrom);
    return found;
}

// Each record alone, as the viewer marks the one it shows.
std::vector<Found> marksOfEachRecord(const RecordStore &store, const Encoding &encoding)
{
    std::vector<Found> found;
    for (std::size_t record = 0; record < store.count(); ++record)
        encoding.forEachMark(store.record(static_cast<std::int64_t>(record)).bytes,
                             [&](const Mark &mark) {
                                 found.push_back({record, mark});
                             });
    return found;
}

class EveryEncodingsStore : public testing::TestWithParam<std::string>
{};

// Line ends after every kind of unit begun, NULs that end the text, and texts of many blocks.
TEST_P(EveryEncodingsStore, MarksEachRecordAsItAlone)
{
    static const int kPalette[] = {'\r', '\n', '\r', '\n', 0x0E, 0x0F, 0x40, 0x80,
                                   0x81, 0x8E, 0x9F, 0xA1, 0xE3, 0xF0, 0xFD, 'a'};
    const auto encoding = EncodingCatalog::make(GetParam());
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        const std::string bytes = hostileRecord(random, random() % 600, kPalette);
        SCOPED_TRACE(testing::PrintToString(bytes));
        for (const Framing &framing : {Framing::lines(), Framing::fixedLength(7)}) {
            const RecordStore store = storeOf(bytes, framing);
            ASSERT_EQ(marksOf(store, *encoding), marksOfEachRecord(store, *encoding));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Catalog, EveryEncodingsStore, testing::ValuesIn(catalogNames()),
                         encodingTestName);

// The code pages whose encoding marks on many threads at once.
class TwoThreadStore : public testing::TestWithParam<int>
{};

// Whatever byte the second part is asked to start at: lead bytes and CR LF just before it,
// records cut to a lead byte, a NUL that ends the text before it.
TEST_P(TwoThreadStore, MarksWhatOneThreadMarks)
{
    static const int kPalette[] = {'\r', '\n', '\r', '\n', 0x80, 0x81, 0x8E, 0x9F, 0xA1, 0xFD};
    const int codePage = GetParam();
    const auto encoding =
        std::make_shared<const LeadByteEncoding>("", ByteClasses::forCodePage(codePage), codePage);
    ASSERT_TRUE(encoding->marksOnManyThreads());
    std::mt19937 random(5);
    const std::string seams = "\x82\xA0\x81\r\n\x81\n\x81\r\x81\r\r\n\n\x81\x81\x81\r\nA";
    for (const std::string &bytes : {seams, hostileRecord(random, 900, kPalette),
                                     hostileRecord(random, 300, kPalette) + '\0' + seams}) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        const RecordStore store = storeOf(bytes);
        const std::vector<Found> expected = marksOfEachRecord(store, *encoding);
        for (std::uint64_t secondFrom = 0; secondFrom <= bytes.size(); ++secondFrom)
            ASSERT_EQ(marksOf(store, *encoding, secondFrom), expected) << secondFrom;
    }
}

INSTANTIATE_TEST_SUITE_P(CodePages, TwoThreadStore, testing::Values(932, 936, 949, 950, 1252),
                         [](const testing::TestParamInfo<int> &info) {
                             return "CP" + std::to_string(info.param);
                         });

std::string illFormedLines(std::size_t count)
{
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes += "\x81\r\n";
    return bytes;
}

// Far more than the second thread keeps: it waits for the first part's marks to be taken.
TEST(StoreMarks, ManyMarksOfTheSecondPartFollowTheFirstPartsInOrder)
{
    const RecordStore store = storeOf(illFormedLines(40000));
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    const std::vector<Found> found = marksOf(store, *encoding, store.bytes().size() / 3);
    ASSERT_EQ(found.size(), 40000u);
    for (std::size_t record = 0; record < found.size(); ++record)
        ASSERT_EQ(found[record], (Found{record, {0, 1, Mark::Kind::IllFormed}}));
}

// As when the output cannot be written: the second thread, waiting with its marks, ends too.
TEST(StoreMarks, AFailingSinkEndsTheSecondThread)
{
    const RecordStore store = storeOf(illFormedLines(40000));
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    for (const std::size_t failAt : {0, 39999}) {
        std::size_t told = 0;
        EXPECT_THROW(StoreMarks::forEach(
                         store, *encoding,
                         [&](std::size_t, std::string_view, const Mark &) {
                             if (told++ == failAt)
                                 throw std::runtime_error("full");
                         },
                         store.bytes().size() / 2),
                     std::runtime_error);
        EXPECT_EQ(told, failAt + 1);
    }
}

// In one text a lead byte would take the line end in as its trail byte.
TEST(StoreMarks, LeadByteAtALinesEndIsIllFormedAloneInIt)
{
    const RecordStore store = storeOf("\x82\xA0\x81\r\n\x81\n\x81\r\x81", Framing::lines());
    const auto encoding = EncodingCatalog::make("Shift_JIS");
    constexpr auto kIllFormed = Mark::Kind::IllFormed;
    EXPECT_EQ(marksOf(store, *encoding), (std::vector<Found>{{0, {2, 1, kIllFormed}},
                                                             {1, {0, 1, kIllFormed}},
                                                             {2, {0, 1, kIllFormed}},
                                                             {3, {0, 1, kIllFormed}}}));
}

} // namespace
