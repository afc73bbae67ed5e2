#include "RecordFinder.h"
#include "EncodingCatalog.h"
#include "FailureMessage.h"
#include "RowName.h"
#include "StoreOf.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct FindRow
{
    std::string name;
    std::string encoding;
    std::string file;
    std::string typed; // UTF-8 text, or hex pairs
    bool hex = false;
    bool matchCase = true;
    std::string hits; // "RECORD:OFFSET " each, records from 1
};

void PrintTo(const FindRow &row, std::ostream *out)
{
    *out << row.name;
}

std::string hitsOf(const RecordStore &store, const Encoding &encoding, const FindPattern &pattern)
{
    std::string hits;
    RecordFinder(store, encoding, pattern).scan(0, store.count() - 1, [&](const FindHit &hit) {
        hits += std::to_string(hit.record + 1) + ":" + std::to_string(hit.offset) + " ";
        return true;
    });
    return hits;
}

// The hits of bytes written as hex pairs, whatever the encoding.
std::string hexHitsOf(const RecordStore &store, std::string_view pairs)
{
    return hitsOf(store, *EncodingCatalog::make("UTF-8"), FindPattern::hex(pairs));
}

class RecordFinderHits : public testing::TestWithParam<FindRow>
{};

TEST_P(RecordFinderHits, AreThese)
{
    const FindRow &row = GetParam();
    const auto encoding = EncodingCatalog::make(row.encoding);
    const RecordStore store = storeOf(row.file);
    const FindPattern pattern = row.hex ? FindPattern::hex(row.typed)
                                        : FindPattern::text(row.typed, *encoding, row.matchCase);

    const std::string hits = hitsOf(store, *encoding, pattern);

    EXPECT_EQ(hits, row.hits);
}

const std::string kSo = "\x83\x5C"; // ソ: its trail byte is "\"

INSTANTIATE_TEST_SUITE_P(
    TrailBytes, RecordFinderHits,
    testing::Values(
        FindRow{"BackslashAfterSo", "Shift_JIS", kSo + "\\" + kSo, "\\", false, true, "1:2 "},
        FindRow{"LetterAfterLead8A", "Shift_JIS",
                "\x8A\x41"
                "A\x8A\x41",
                "A", false, true, "1:2 "},
        FindRow{"BarAsTrail", "Shift_JIS", "\x83\x7C|", "|", false, true, "1:2 "},
        FindRow{"AtSignAsTrail", "Shift_JIS", "\x83\x40@\x83\x40", "@", false, true, "1:2 "},
        // 88 88 is one character, 9F 5C the next: the "\" is a trail byte.
        FindRow{"OddLeadRun", "Shift_JIS", "\x88\x88\x9F\\\\", "\\", false, true, "1:4 "},
        FindRow{"EvenLeadRun", "Shift_JIS", "\x88\x9F\x88\x9F\\", "\\", false, true, "1:4 "},
        FindRow{"KanaNotFoldedAsLetter", "Shift_JIS", "\x83\x61\x83\x41", "\xE3\x82\xA2", false,
                false, "1:2 "},
        FindRow{"TrailNotFoldedAsLetter", "Shift_JIS",
                "\x83\x61"
                "a",
                "A", false, false, "1:2 "},
        FindRow{"HexTakesTrailBytes", "Shift_JIS", kSo + "\\", "5C", true, true, "1:1 1:2 "}),
    rowName<FindRow>);

INSTANTIATE_TEST_SUITE_P(
    Encodings, RecordFinderHits,
    testing::Values(
        // B0 A4 A4 A2: the A4 A4 in the middle straddles two characters.
        FindRow{"EucJpStraddle", "EUC-JP", "\xB0\xA4\xA4\xA2", "\xE3\x81\x84", false, true, ""},
        FindRow{"EucJpHit", "EUC-JP", "\xA4\xA2\xA4\xA4", "\xE3\x81\x84", false, true, "1:2 "},
        FindRow{"EucJpThreeByteTail", "EUC-JP", "\x8F\xB0\xA1\xB0\xA1", "\xE4\xBA\x9C", false, true,
                "1:3 "},
        FindRow{"Utf8Hit", "UTF-8", "\xC3\xA9t\xC3\xA9", "\xC3\xA9", false, true, "1:0 1:3 "},
        FindRow{"Utf8HexInsideCharacter", "UTF-8", "\xC3\xA9", "A9", true, true, "1:1 "},
        // C3 A9 is é, its A9 no unit of its own; the lone A9 after "x" is one.
        FindRow{"Utf8LoneContinuation", "UTF-8", "\xC3\xA9x\xA9", "A9", true, true, "1:1 1:3 "}),
    rowName<FindRow>);

// X, then 東京都 between SO and SI, then Y; then 東's bytes 45 57 in single-byte mode. The
// same bytes under 930 and 939.
const std::string kTokyo = "\xE7\x0E\x45\x57\x45\x75\x45\x4F\x0F\xE8 \x45\x57";

std::vector<FindRow> shiftedRows(const std::string &encoding)
{
    const std::string e = encoding.substr(4);
    return {
        FindRow{"AtRunStart" + e, encoding, kTokyo, "\xE6\x9D\xB1", false, true, "1:2 "},
        FindRow{"InRunMiddle" + e, encoding, kTokyo, "\xE4\xBA\xAC", false, true, "1:4 "},
        FindRow{"AtRunEnd" + e, encoding, kTokyo, "\xE9\x83\xBD", false, true, "1:6 "},
        FindRow{"TwoInRun" + e, encoding, kTokyo, "\xE4\xBA\xAC\xE9\x83\xBD", false, true,
                "1:4 "},
        FindRow{"SingleThenDouble" + e, encoding, kTokyo, "X\xE6\x9D\xB1", false, true, "1:0 "},
        FindRow{"DoubleThenSingle" + e, encoding, kTokyo, "\xE9\x83\xBDY", false, true, "1:6 "},
        FindRow{"WholeMixed" + e, encoding, kTokyo,
                "X\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBDY", false, true, "1:0 "},
        // 剪 is 57 45: the second half of 東 and the first of 京.
        FindRow{"NeverAcrossCharacters" + e, encoding, kTokyo, "\xE5\x89\xAA", false, true, ""},
        FindRow{"MixedCaseFolded" + e, encoding, kTokyo, "x\xE6\x9D\xB1", false, false, "1:0 "},
    };
}

INSTANTIATE_TEST_SUITE_P(ShiftedPages, RecordFinderHits,
                         testing::ValuesIn([] {
                             std::vector<FindRow> rows = shiftedRows("IBM-930");
                             const std::vector<FindRow> more = shiftedRows("IBM-939");
                             rows.insert(rows.end(), more.begin(), more.end());
                             return rows;
                         }()),
                         rowName<FindRow>);

INSTANTIATE_TEST_SUITE_P(
    Records, RecordFinderHits,
    testing::Values(
        FindRow{"FirstAndLastByte", "UTF-8", "ABxAB\r\nAB\nx", "AB", false, true, "1:0 1:3 2:0 "},
        FindRow{"NeverAcrossRecords", "UTF-8", "xA\nBx\r\nA\rB", "AB", false, true, ""},
        FindRow{"NeverALineEnd", "UTF-8", "A\r\nB", "0D 0A", true, true, ""},
        FindRow{"LfEndsARecord", "UTF-8", "AB\nAB", "AB", false, true, "1:0 2:0 "},
        FindRow{"NotPastTheNul", "UTF-8", std::string("AB\0AB", 5), "AB", false, true, "1:0 "},
        FindRow{"NoOverlap", "UTF-8", "AAAAA", "AAA", false, true, "1:0 "},
        FindRow{"NoOverlapTwice", "UTF-8", "AAAAAA", "AAA", false, true, "1:0 1:3 "},
        FindRow{"AcrossColumn100", "UTF-8", std::string(99, '.') + "AB", "AB", false, true,
                "1:99 "},
        FindRow{"MatchCaseOn", "UTF-8", "abc ABC aBc", "ABC", false, true, "1:4 "},
        FindRow{"MatchCaseOff", "UTF-8", "abc ABC aBc", "ABC", false, false, "1:0 1:4 1:8 "},
        FindRow{"MatchCaseOffWithDigit", "UTF-8", "a1 A1 a2", "A1", false, false, "1:0 1:3 "},
        FindRow{"MatchCaseOffEbcdic", "IBM-037", "\xC1\x81", "a", false, false, "1:0 1:1 "}),
    rowName<FindRow>);

// Places on both sides of every 32-byte stretch the byte search takes at once, with decoys
// that share the needle's first and last bytes.
TEST(RecordFinder, FindsANeedleAtEveryPlaceOfARecord)
{
    const auto encoding = EncodingCatalog::make("UTF-8");
    const FindPattern pattern = FindPattern::text("AxyB", *encoding, true);

    for (std::size_t at = 0; at + 4 <= 80; ++at) {
        std::string record(80, '.');
        for (std::size_t decoy = 0; decoy + 4 <= at; decoy += 9)
            record.replace(decoy, 4, "AyxB");
        record.replace(at, 4, "AxyB");
        const RecordStore store = storeOf(record);

        EXPECT_EQ(hitsOf(store, *encoding, pattern), "1:" + std::to_string(at) + " ") << at;
    }
}

TEST(RecordFinder, StopsWhenProgressSaysSo)
{
    const auto encoding = EncodingCatalog::make("UTF-8");
    const RecordStore store = storeOf(std::string(12 << 20, 'x') + "AB");
    const FindPattern pattern = FindPattern::text("AB", *encoding, true);
    int looks = 0;
    bool found = false;

    const bool done = RecordFinder(store, *encoding, pattern)
                          .scan(
                              0, 0, [&](const FindHit &) { return found = true; },
                              [&](std::uint64_t, std::uint64_t) { return ++looks < 2; });

    EXPECT_FALSE(done);
    EXPECT_FALSE(found);
    EXPECT_EQ(looks, 2);
}

// Every six bytes are a record, line ends and NULs in it too; a hit keeps to one record.
TEST(RecordFinder, FindsInFixedLengthRecordsOfAnyBytes)
{
    const RecordStore store = storeOf(std::string("ab\r\n\0c"
                                                  "d\nAB\0x"
                                                  "yAB\r\n.",
                                                  18),
                                      Framing::fixedLength(6));
    const auto encoding = EncodingCatalog::make("UTF-8");
    const auto text = [&](std::string_view typed) {
        return hitsOf(store, *encoding, FindPattern::text(typed, *encoding, true));
    };
    const auto hex = [&](std::string_view pairs) {
        return hexHitsOf(store, pairs);
    };

    EXPECT_EQ(text("AB"), "2:2 3:1 ");
    EXPECT_EQ(hex("0A 41"), "2:1 ");
    EXPECT_EQ(hex("0D 0A"), "1:2 3:3 ");
    EXPECT_EQ(hex("00"), "1:4 2:4 ");
    EXPECT_EQ(text("cd"), "");
    EXPECT_EQ(hex("78 79"), "");
}

// Descriptor words hold bytes of every value; a hit keeps to one record's bytes.
TEST(RecordFinder, FindsInRdwRecordsAndNotInTheirDescriptorWords)
{
    const RecordStore store =
        storeOf(std::string("\0\x06\0\0ab\0\x05\0\0b\0\x07\0\0abc", 18), Framing::rdw());

    EXPECT_EQ(hexHitsOf(store, "61 62"), "1:0 3:0 ");
    EXPECT_EQ(hexHitsOf(store, "62"), "1:1 2:0 3:1 ");
    EXPECT_EQ(hexHitsOf(store, "00"), "");
    EXPECT_EQ(hexHitsOf(store, "62 00"), "");
}

} // namespace

// Hits found after the file was cut may lie in the zeros that stand for bytes cut off.
TEST(RecordFinder, AFindInAFileCutUnderneathFailsWithTheChangedMessage)
{
    const TempDir folder;
    const std::string path = folder.write("cut.txt", std::string(1 << 16, '\0'));
    RecordStore store;
    store.load(path, Framing::fixedLength(100));
    ASSERT_EQ(truncate(path.c_str(), 4096), 0);

    const std::string message = failureMessage([&] { hexHitsOf(store, "00"); });

    EXPECT_EQ(message, "ファイル " + path + " は読み込み中に変更されました");
}
