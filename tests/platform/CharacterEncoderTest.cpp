#include "CharacterConverter.h"
#include "CharacterEncoder.h"
#include "Failure.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(CharacterEncoder, WritesTextAndSaysWhereItCannot)
{
    const CharacterEncoder shiftJis("CP932");

    const CharacterEncoder::Result kana = shiftJis.encode("\xE3\x82\xBD\\");
    const CharacterEncoder::Result emoji = shiftJis.encode("ab\xF0\x9F\x98\x80");
    const CharacterEncoder::Result cut = shiftJis.encode("a\xE3\x82");

    EXPECT_EQ(kana.bytes, "\x83\x5C\\");
    EXPECT_FALSE(kana.unwritable);
    EXPECT_EQ(emoji.unwritable, 2u);
    EXPECT_EQ(emoji.bytes, "");
    EXPECT_EQ(cut.unwritable, 1u);
}

TEST(CharacterEncoder, EndsAShiftingSetInItsInitialState)
{
    const CharacterEncoder ebcdic("IBM930");

    const CharacterEncoder::Result mixed = ebcdic.encode("A\xE3\x82\xA2");

    EXPECT_EQ(mixed.bytes.front(), '\xC1');
    EXPECT_EQ(mixed.bytes.back(), '\x0F');
}

TEST(CharacterEncoder, LongTextPassesThroughItsBuffer)
{
    const CharacterEncoder utf8("UTF-8");
    const std::string text(10000, 'x');

    EXPECT_EQ(utf8.encode(text).bytes, text);
}

// Each converter is closed once, however many are made, moved and dropped.
TEST(CharacterEncoder, ConvertersOutliveMovesAndCloseOnce)
{
    for (int i = 0; i < 3; ++i) {
        CharacterEncoder encoder("CP932");
        CharacterEncoder moved = std::move(encoder);
        CharacterConverter converter("CP932");
        CharacterConverter movedConverter = std::move(converter);

        EXPECT_EQ(moved.encode("a").bytes, "a");
        EXPECT_EQ(movedConverter.decode("\x83\x5C"), std::u32string(1, U'\u30BD'));
    }
}

TEST(CharacterEncoder, UnknownCharsetFails)
{
    EXPECT_THROW(CharacterEncoder("NO-SUCH-CHARSET"), Failure);
}

} // namespace
