#include "StatusNotices.h"

#include <gtest/gtest.h>

namespace {

using Kind = StatusNotices::Kind;

TEST(StatusNotices, ShowsTheMostPressingStandingAndTheNextOnceItClears)
{
    StatusNotices notices;
    notices.set(Kind::TextEndsAtNul, "nul");
    const std::string alone = notices.shown();
    notices.set(Kind::ChangedOnDisk, "changed");
    const std::string both = notices.shown();

    notices.clear(Kind::ChangedOnDisk);

    EXPECT_EQ(alone, "nul");
    EXPECT_EQ(both, "changed");
    EXPECT_EQ(notices.shown(), "nul");
    notices.clear(Kind::TextEndsAtNul);
    EXPECT_EQ(notices.shown(), "");
}

TEST(StatusNotices, TellsOfANulOnlyWhereBytesFollowIt)
{
    using namespace std::string_literals;

    EXPECT_EQ(StatusNotices::nulNotice("no nul\r\n"), "");
    EXPECT_EQ(StatusNotices::nulNotice("ends in a nul\0"s), "");
    EXPECT_EQ(StatusNotices::nulNotice("\0x"s),
              "NUL at offset 0 ends the text: 1 byte not shown (see Records)");
    EXPECT_EQ(StatusNotices::nulNotice("ab\0\0cd"s),
              "NUL at offset 2 ends the text: 3 bytes not shown (see Records)");
}

} // namespace
