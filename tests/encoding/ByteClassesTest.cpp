#include "ByteClasses.h"
#include "Bytes.h"
#include "UserLocale.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

TEST(ByteClasses, CodePage932LeadSetIsItsTwoRanges)
{
    const auto classes = ByteClasses::forCodePage(932);

    EXPECT_TRUE(classes.multibyte());
    for (int b = 0; b < 256; ++b) {
        const bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(classes.inLeadSet(static_cast<std::uint8_t>(b)), expected) << b;
    }
}

TEST(ByteClasses, WesternLocaleAndSingleByteCodePageAreSingleByte)
{
    EXPECT_FALSE(ByteClasses::forCodePage(1252).multibyte());
    EXPECT_FALSE(ByteClasses::forLocale(UserLocale("de_DE.UTF-8")).multibyte());
    EXPECT_FALSE(ByteClasses::forLocale(UserLocale("C")).multibyte());
    EXPECT_TRUE(ByteClasses::forLocale(UserLocale("ja_JP.UTF-8")).multibyte());
    EXPECT_TRUE(ByteClasses::forLocale(UserLocale("ko_KR.UTF-8")).inLeadSet(0xFE));
}

TEST(ByteClasses, TrailFollowsOddRunOfLeadSetBytes)
{
    const auto classes = ByteClasses::forCodePage(932);
    // 0x88 0x9F is one character although 0x9F is in the lead set; then a lone lead byte
    // takes the tab after it as its trail.
    const std::string text = bytes({0x88, 0x9F, 0x88, 0x09, 0xB6, 0x41});

    EXPECT_EQ(classes.classOf(text, 0), ByteClass::Lead);
    EXPECT_EQ(classes.classOf(text, 1), ByteClass::Trail);
    EXPECT_EQ(classes.classOf(text, 2), ByteClass::Lead);
    EXPECT_EQ(classes.classOf(text, 3), ByteClass::Trail);
    EXPECT_EQ(classes.classOf(text, 4), ByteClass::Single);
    EXPECT_EQ(classes.classOf(text, 5), ByteClass::Single);
}

TEST(ByteClasses, ScannerAgreesWithClassOfOnRandomText)
{
    const auto classes = ByteClasses::forCodePage(932);
    std::mt19937 random(7);
    std::string text(4000, '\0');
    for (char &c : text)
        c = static_cast<char>(random() % 4 ? 0x81 + random() % 0x7C : random() % 256);

    ByteClasses::Scanner scanner(classes);

    for (std::size_t i = 0; i < text.size(); ++i)
        ASSERT_EQ(scanner.next(static_cast<std::uint8_t>(text[i])), classes.classOf(text, i)) << i;
}
