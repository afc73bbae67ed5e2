#include "SpinGeometry.h"

#include <gtest/gtest.h>

namespace {

using SpinGeometry::ArrowBoxes;
using SpinGeometry::Box;

TEST(SpinGeometry, MinimumHeightFollowsTheSmallerFont)
{
    EXPECT_EQ(SpinGeometry::MinimumHeight(12, 12, 1), 21);
    EXPECT_EQ(SpinGeometry::MinimumHeight(12, 16, 1), 21);
    EXPECT_EQ(SpinGeometry::MinimumHeight(20, 8, 1), 28);
    EXPECT_EQ(SpinGeometry::MinimumHeight(12, 12, 2), 25);
}

TEST(SpinGeometry, AutoHeightFallsShortOfMinimumForTwelvePixelText)
{
    EXPECT_EQ(SpinGeometry::AutoHeight(12, 1), 20);
}

TEST(SpinGeometry, PlacesThePairAndTheTextOfTheMainWindowsField)
{
    const int clientWidth = 121 - 4;

    EXPECT_EQ(SpinGeometry::PairBounds(121, 21, 15), (Box{101, 0, 15, 16}));
    EXPECT_EQ(SpinGeometry::TextAreaRight(clientWidth, 15), 100);
}

struct ArrangeRow
{
    const char *name;
    int width;
    int height;
    ArrowBoxes expected;
};

class ArrangeArrowsTest : public testing::TestWithParam<ArrangeRow>
{};

TEST_P(ArrangeArrowsTest, SplitsThePairSharingOneRow)
{
    const ArrangeRow &row = GetParam();

    EXPECT_EQ(SpinGeometry::ArrangeArrows(row.width, row.height), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SpinGeometry, ArrangeArrowsTest,
    testing::Values(ArrangeRow{"NarrowIsWidened", 10, 17, {15, {0, 0, 15, 8}, {0, 7, 15, 10}}},
                    ArrangeRow{"EvenHeight", 15, 16, {15, {0, 0, 15, 8}, {0, 7, 15, 9}}},
                    ArrangeRow{"AsBuilt", 20, 25, {20, {0, 0, 20, 12}, {0, 11, 20, 14}}}),
    [](const testing::TestParamInfo<ArrangeRow> &info) { return info.param.name; });

} // namespace
