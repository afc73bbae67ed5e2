#include "EncodingDetector.h"

#include "CharacterEncoder.h"

#include <gtest/gtest.h>

namespace {

std::string written(const std::string &charset, std::string_view utf8)
{
    return CharacterEncoder(charset).encode(utf8).bytes;
}

std::string repeated(std::string_view line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

// Greek, Cyrillic, box drawing and ①: Shift-JIS decodes all of it; as Windows-1252 a few
// trail bytes stay unmapped, and ISO-8859-1 makes C1 controls of the lead bytes.
TEST(EncodingDetector, TakesShiftJisWithGreekCyrillicAndBoxDrawingForShiftJis)
{
    const std::string text = written("CP932", repeated("αβγδ ЖЗИЙ ┌─┬─┐ ① Ωμ → 1.5\r\n"
                                                       "│ΣΦΨ│ ДЕЁ ②③ └─┴─┘ ■\r\n",
                                                       4));

    EXPECT_EQ(EncodingDetector::detect(text).name, "Shift_JIS");
}

// Half-width katakana between upper-case words and kanji: read as 939, the katakana become
// Latin small letters amid katakana.
TEST(EncodingDetector, TellsCcsid930FromCcsid939ByTheirSingleByteHalves)
{
    const std::string line = "ﾃﾞｰﾀ ﾌｧｲﾙ ｺｰﾄﾞ ABC 東京都 ﾀﾞｲﾔ ｶﾅ ﾒﾓ 0123  ";
    const std::string latin = "Data file code ABC 東京都 small letters here 0123  ";

    EXPECT_EQ(EncodingDetector::detect(written("IBM930", repeated(line, 20))).name, "IBM-930");
    EXPECT_EQ(EncodingDetector::detect(written("IBM939", repeated(latin, 20))).name, "IBM-939");
}

} // namespace
