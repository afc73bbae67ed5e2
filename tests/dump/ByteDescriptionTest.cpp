#include "ByteDescription.h"

#include "EncodingCatalog.h"
#include "RecordDump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The status line's words on each byte of record, one after the other.
std::vector<std::string> described(const std::string &encoding, const std::string &record)
{
    auto file = std::make_shared<const std::string>(record);
    const RecordDump dump(Record{file, *file}, EncodingCatalog::make(encoding), {});
    std::vector<std::string> words;
    for (std::uint64_t offset = 0; offset < record.size(); ++offset)
        words.push_back(ByteDescription::of(dump, offset));
    return words;
}

using Words = std::vector<std::string>;

// Both bytes of 8A BF tell 漢; a tab maps but shows as nothing of its own.
TEST(ByteDescription, TellsTheCharacterEachByteBelongsTo)
{
    EXPECT_EQ(
        described("Shift_JIS", "i\t\x8A\xBF"),
        (Words{"Offset 0  0x69  i U+0069 (69)  Shift_JIS", "Offset 1  0x09  U+0009 (09)  Shift_JIS",
               "Offset 2  0x8A  漢 U+6F22 (8A BF)  Shift_JIS",
               "Offset 3  0xBF  漢 U+6F22 (8A BF)  Shift_JIS"}));
    EXPECT_EQ(described("UTF-8", "\xE6\xBC\xA2"),
              (Words{"Offset 0  0xE6  漢 U+6F22 (E6 BC A2)  UTF-8",
                     "Offset 1  0xBC  漢 U+6F22 (E6 BC A2)  UTF-8",
                     "Offset 2  0xA2  漢 U+6F22 (E6 BC A2)  UTF-8"}));
}

// 81 20: a lead byte without its trail byte; 85 40: no character of the page. Under IBM-939,
// 0E and 0F switch to the double-byte mode and back.
TEST(ByteDescription, TellsWhyAUnitIsMarked)
{
    EXPECT_EQ(described("Shift_JIS", "\x81 \x85\x40"),
              (Words{"Offset 0  0x81  ill-formed (81 20)  Shift_JIS",
                     "Offset 1  0x20  ill-formed (81 20)  Shift_JIS",
                     "Offset 2  0x85  unmapped (85 40)  Shift_JIS",
                     "Offset 3  0x40  unmapped (85 40)  Shift_JIS"}));
    EXPECT_EQ(described("IBM-939", "\x0E\x45\x41\x0F"),
              (Words{"Offset 0  0x0E  shift out (SO) (0E)  IBM-939",
                     "Offset 1  0x45  一 U+4E00 (45 41)  IBM-939",
                     "Offset 2  0x41  一 U+4E00 (45 41)  IBM-939",
                     "Offset 3  0x0F  shift in (SI) (0F)  IBM-939"}));
}

} // namespace
