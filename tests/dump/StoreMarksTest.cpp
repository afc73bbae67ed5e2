#include "StoreMarks.h"

#include "CatalogEncodings.h"
#include "Encoding.h"
#include "StoreOf.h"

#include <gtest/gtest.h>

#include <random>

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

std::vector<Found> marksOf(const RecordStore &store, const Encoding &encoding)
{
    std::vector<Found> found;
    StoreMarks::forEach(store, encoding,
                        [&](std::size_t record, std::string_view bytes, const Mark &mark) {
                            EXPECT_EQ(bytes, store.record(static_cast<std::int64_t>(record)).bytes);
                            found.push_back({record, mark});
                        });
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
