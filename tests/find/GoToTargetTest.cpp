#include "GoToTarget.h"
#include "RowName.h"

#include <gtest/gtest.h>

namespace {

struct GoToRow
{
    std::string name;
    std::string typed;
    std::string place; // "RECORD:OFFSET" resolved in 5 records of 10 bytes, record 2 shown
};

void PrintTo(const GoToRow &row, std::ostream *out)
{
    *out << row.name;
}

class GoToTargetResolves : public testing::TestWithParam<GoToRow>
{};

TEST_P(GoToTargetResolves, ToThePlaceOrAnError)
{
    const GoToRow &row = GetParam();
    std::string place;

    try {
        const GoToTarget target = GoToTarget::parse(row.typed).resolved(
            5, 2, [](std::uint64_t) { return std::uint64_t{10}; });
        place = std::to_string(*target.record) + ":" + std::to_string(target.offset);
    } catch (const GoToTarget::Error &error) {
        place = error.what();
    }

    EXPECT_EQ(place, row.place);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GoToTargetResolves,
    testing::Values(GoToRow{"Record", "4", "4:0"}, GoToRow{"RecordAndOffset", "3:9", "3:9"},
                    GoToRow{"OffsetInShown", ":7", "2:7"},
                    GoToRow{"Hex", "0x5:0xA",
                            ""
                            "Offset 10 is "
                            "outside the "
                            "record's 10 "
                            "bytes"},
                    GoToRow{"HexInRange", " 0x4 : 0x9 ", "4:9"},
                    GoToRow{"RecordZero", "0", "Record 0 is outside 1 to 5"},
                    GoToRow{"RecordPastEnd", "6:0", "Record 6 is outside 1 to 5"},
                    GoToRow{"Negative", "-1", "The record is no number: \"-1\""},
                    GoToRow{"Letters", "x", "The record is no number: \"x\""},
                    GoToRow{"Huge", "99999999999999999999", "The record is too large or missing"},
                    GoToRow{"NoOffset", "3:", "The offset is too large or missing"},
                    GoToRow{"Empty", " ", "Type RECORD, RECORD:OFFSET or :OFFSET"}),
    rowName<GoToRow>);

TEST(GoToTarget, OffsetZeroOfAnEmptyRecordIsThere)
{
    const GoToTarget target =
        GoToTarget::parse("1:0").resolved(1, 1, [](std::uint64_t) { return std::uint64_t{0}; });

    EXPECT_EQ(target.offset, 0u);
}

TEST(GoToTarget, NothingLoaded)
{
    EXPECT_THROW(GoToTarget::parse(":0").resolved(0, 0, [](std::uint64_t) { return 0u; }),
                 GoToTarget::Error);
}

} // namespace
