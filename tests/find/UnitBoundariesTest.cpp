#include "UnitBoundaries.h"
#include "Encoding.h"
#include "EncodingCatalog.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

// Every unit start of a record in state 0 and every unit end, cut unit by unit from its start.
struct Cut
{
    std::set<std::size_t> starts;
    std::set<std::size_t> ends;
};

Cut cutOf(const Encoding &encoding, std::string_view record)
{
    Cut cut;
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        if (state == 0)
            cut.starts.insert(at);
        at += encoding.unitAt(record, at, state).length;
        cut.ends.insert(at);
    }
    return cut;
}

// Bytes the encodings give meaning to, so that runs of lead bytes and shifts are frequent.
std::string randomRecord(std::mt19937 &random, std::size_t size)
{
    static constexpr unsigned char kBytes[] = {0x0E, 0x0F, 0x40, 0x41, 0x5C, 0x7C, 0x80, 0x81,
                                               0x83, 0x8E, 0x8F, 0x9F, 0xA1, 0xA4, 0xBF, 0xC3,
                                               0xE0, 0xE3, 0xF0, 0xFC, 0xFE, 0x30, 0x39, 0xFF};
    std::string record;
    for (std::size_t i = 0; i < size; ++i)
        record += static_cast<char>(kBytes[random() % sizeof kBytes]);
    return record;
}

class UnitBoundariesAgree : public testing::TestWithParam<std::string>
{};

// Candidates come in order, a hit's length after the one before, as the finder makes them.
TEST_P(UnitBoundariesAgree, WithACutFromTheRecordStart)
{
    const auto encoding = EncodingCatalog::make(GetParam());
    UnitBoundaries boundaries(*encoding);
    std::mt19937 random(11);

    for (int round = 0; round < 300; ++round) {
        const std::string record = randomRecord(random, 1 + random() % 40);
        const Cut cut = cutOf(*encoding, record);
        boundaries.reset(record);
        for (std::size_t at = random() % 3; at < record.size(); at += 1 + random() % 3) {
            const std::size_t length = 1 + random() % std::min<std::size_t>(4, record.size() - at);
            const bool expected = cut.starts.contains(at) && cut.ends.contains(at + length);

            ASSERT_EQ(boundaries.holds(at, length), expected)
                << GetParam() << " round " << round << " at " << at << " length " << length;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, UnitBoundariesAgree,
                         testing::Values("Shift_JIS", "EUC-JP", "UTF-8", "GB18030", "Big5",
                                         "IBM-939", "ISO-8859-1"),
                         [](const auto &info) {
                             std::string name;
                             for (const char c : info.param)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(UnitBoundaries, LooksAtALongLeadRunOnce)
{
    // A run of lead bytes, a candidate at each: looking back over the run for every one
    // would take minutes.
    const auto shiftJis = EncodingCatalog::make("Shift_JIS");
    const std::string record = std::string(400000, '\x88') + "\\";
    UnitBoundaries boundaries(*shiftJis);
    boundaries.reset(record);
    std::size_t hits = 0;

    for (std::size_t at = 0; at < record.size(); ++at)
        hits += boundaries.holds(at, at + 2 <= record.size() ? 2 : 1);

    EXPECT_EQ(hits, 200001u);
}

TEST(UnitBoundaries, AskedAgainForATrailByteStillRefuseIt)
{
    // 8A 41 is one character; candidates of two lengths at its trail byte, as overlapping
    // candidates of a search come.
    const auto shiftJis = EncodingCatalog::make("Shift_JIS");
    const std::string record = "\\\\\\\x8A\x41\x41";
    UnitBoundaries boundaries(*shiftJis);
    boundaries.reset(record);

    EXPECT_TRUE(boundaries.holds(1, 2));
    EXPECT_FALSE(boundaries.holds(4, 1));
    EXPECT_FALSE(boundaries.holds(4, 2));
    EXPECT_TRUE(boundaries.holds(5, 1));
}

} // namespace
