#include "FindSession.h"
#include "EncodingCatalog.h"
#include "StoreOf.h"

#include <gtest/gtest.h>

namespace {

using Direction = FindSession::Direction;

// Hits at 1:2, 2:0, 4:1; record 3 has none.
const std::string kFile = "..AB\nAB\n...\n.AB.";

FindSession sessionOf(const RecordStore &store, std::string_view text,
                      std::optional<std::size_t> onlyRecord = std::nullopt)
{
    const auto encoding = EncodingCatalog::make("UTF-8");
    return FindSession(store, encoding, FindPattern::text(text, *encoding, true), onlyRecord);
}

std::string told(const FindSession::Outcome &outcome)
{
    if (outcome.cancelled)
        return "cancelled";
    if (!outcome.hit)
        return "not found";
    return std::to_string(outcome.hit->record + 1) + ":" + std::to_string(outcome.hit->offset) +
           " hit " + std::to_string(outcome.ordinal) + " of " + std::to_string(outcome.total) +
           (outcome.wrapped ? " wrapped" : "");
}

TEST(FindSession, StepsThroughTheFileAndWrapsToRecordOne)
{
    const RecordStore store = storeOf(kFile);
    FindSession session = sessionOf(store, "AB");

    const auto first = session.find(Direction::Next, {0, 0}, false);
    const auto second = session.find(Direction::Next, {0, 2}, true);
    const auto third = session.find(Direction::Next, {1, 0}, true);
    const auto wrapped = session.find(Direction::Next, {3, 1}, true);

    EXPECT_EQ(told(first), "1:2 hit 1 of 3");
    EXPECT_EQ(told(second), "2:0 hit 2 of 3");
    EXPECT_EQ(told(third), "4:1 hit 3 of 3");
    EXPECT_EQ(told(wrapped), "1:2 hit 1 of 3 wrapped");
}

TEST(FindSession, PreviousFromTheFirstHitWrapsToTheLast)
{
    const RecordStore store = storeOf(kFile);
    FindSession session = sessionOf(store, "AB");

    const auto last = session.find(Direction::Previous, {0, 2}, true);
    const auto before = session.find(Direction::Previous, {3, 1}, true);

    EXPECT_EQ(told(last), "4:1 hit 3 of 3 wrapped");
    EXPECT_EQ(told(before), "2:0 hit 2 of 3");
}

TEST(FindSession, CountsTheHitFromAnyPlace)
{
    const RecordStore store = storeOf(kFile);
    FindSession session = sessionOf(store, "AB");

    const auto fromMiddle = session.find(Direction::Next, {2, 1}, false);
    const auto atHit = session.find(Direction::Next, {1, 0}, false);
    const auto previousInRecord = session.find(Direction::Previous, {0, 3}, false);

    EXPECT_EQ(told(fromMiddle), "4:1 hit 3 of 3");
    EXPECT_EQ(told(atHit), "2:0 hit 2 of 3");
    EXPECT_EQ(told(previousInRecord), "1:2 hit 1 of 3");
}

// Going back by stretches must not lose a hit that lies stretches away.
TEST(FindSession, PreviousFindsAHitFarBack)
{
    std::string file = "AB\n";
    for (int i = 0; i < 300000; ++i)
        file += "..........\n";
    const RecordStore store = storeOf(file);
    FindSession session = sessionOf(store, "AB");

    const auto previous = session.find(Direction::Previous, {store.count() - 1, 5}, false);

    EXPECT_EQ(told(previous), "1:0 hit 1 of 1");
}

TEST(FindSession, KeepsToOneRecord)
{
    const RecordStore store = storeOf("AB AB\nAB");
    FindSession session = sessionOf(store, "AB", 0);

    const auto next = session.find(Direction::Next, {0, 3}, true);
    const auto second = session.find(Direction::Next, {0, 0}, true);

    EXPECT_EQ(told(next), "1:0 hit 1 of 2 wrapped");
    EXPECT_EQ(told(second), "1:3 hit 2 of 2");
}

TEST(FindSession, NotFoundAndCancelled)
{
    const RecordStore store = storeOf(kFile);
    FindSession missing = sessionOf(store, "ZZ");
    FindSession stopped = sessionOf(store, "AB");

    const auto none = missing.find(Direction::Next, {0, 0}, false);
    const auto cancelled = stopped.find(Direction::Next, {0, 0}, false,
                                        [](std::uint64_t, std::uint64_t) { return false; });

    EXPECT_EQ(told(none), "not found");
    EXPECT_EQ(told(cancelled), "cancelled");
}

// Hits known are of the search the session was made for: any change to it makes a new one.
TEST(FindSession, SearchesOnlyAsItWasMadeTo)
{
    RecordStore store = storeOf(kFile);
    const auto utf8 = EncodingCatalog::make("UTF-8");
    const FindPattern ab = FindPattern::text("AB", *utf8, true);
    const FindSession session(store, utf8, ab);
    const auto searches = [&](const std::shared_ptr<const Encoding> &encoding,
                              const FindPattern &pattern,
                              std::optional<std::size_t> onlyRecord = std::nullopt) {
        return session.searches(store, encoding, pattern, onlyRecord);
    };
    const RecordStore other = storeOf(kFile);

    EXPECT_TRUE(searches(utf8, ab));
    EXPECT_FALSE(searches(utf8, FindPattern::text("A", *utf8, true)));
    EXPECT_FALSE(searches(utf8, FindPattern::hex("41 42")));
    EXPECT_FALSE(searches(utf8, FindPattern::text("AB", *utf8, false)));
    EXPECT_FALSE(searches(utf8, ab, 0));
    EXPECT_FALSE(searches(EncodingCatalog::make("Shift_JIS"), ab));
    EXPECT_FALSE(session.searches(other, utf8, ab, std::nullopt));
    store = store.reframed(Framing::fixedLength(4));
    EXPECT_FALSE(searches(utf8, ab));
    store = storeOf(kFile);
    EXPECT_FALSE(searches(utf8, ab));
}

} // namespace
