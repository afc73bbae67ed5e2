// Reads hex patterns against a literal reading of the rule, checks candidates for unit
// boundaries in either shift state against a cut of the record unit by unit from its start,
// and finds text of double-byte characters inside a double-byte run under CCSID 930 and 939.
#include "Encoding.h"
#include "EncodingCatalog.h"
#include "FindPattern.h"
#include "ShiftedEbcdicEncoding.h"
#include "UnitBoundaries.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char *kEncodings[] = {"Shift_JIS", "EUC-JP",  "UTF-8",   "GB18030",      "Big5",
                                      "UHC",       "IBM-939", "IBM-037", "Windows-1252", "IBM-930"};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Groups of digits between blanks, each of an even number of hex digits, at least one byte.
std::optional<std::string> literalHex(std::string_view text)
{
    std::string bytes;
    std::string digits;
    const auto flush = [&] {
        if (digits.size() % 2 != 0)
            return false;
        for (std::size_t i = 0; i < digits.size(); i += 2)
            bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
        digits.clear();
        return true;
    };
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            if (!flush())
                return std::nullopt;
        } else if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else {
            return std::nullopt;
        }
    }
    if (!flush() || bytes.empty())
        return std::nullopt;
    return bytes;
}

const Encoding &encodingNumbered(std::size_t number)
{
    static const std::vector<std::shared_ptr<const Encoding>> encodings = [] {
        std::vector<std::shared_ptr<const Encoding>> made;
        for (const char *name : kEncodings)
            made.push_back(EncodingCatalog::make(name));
        return made;
    }();
    return *encodings[number % encodings.size()];
}

void checkHex(std::string_view text)
{
    const std::optional<std::string> expected = literalHex(text);
    try {
        const FindPattern pattern = FindPattern::hex(text);
        check(expected && pattern.bytes() == *expected, "hex pattern read wrongly");
    } catch (const FindPattern::Error &) {
        check(!expected, "hex pattern refused wrongly");
    }
}

// The high bit of a step asks for a candidate in double-byte mode.
void checkBoundaries(const Encoding &encoding, std::string_view record, std::string_view steps)
{
    constexpr ShiftState kNoUnit = 0xFF;
    std::vector<ShiftState> starts(record.size() + 1, kNoUnit);
    std::vector<bool> ends(record.size() + 1, false);
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        starts[at] = state;
        at += encoding.unitAt(record, at, state).length;
        ends[at] = true;
    }
    UnitBoundaries boundaries(encoding);
    boundaries.reset(record);
    std::size_t at = 0;
    for (const char step : steps) {
        const auto byte = static_cast<std::uint8_t>(step);
        at += byte & 0x0F;
        const std::size_t length = 1 + ((byte >> 4) & 0x07) % 6;
        const ShiftState asked = byte >> 7;
        if (at + length > record.size())
            break;
        check(boundaries.holds(at, length, asked) == (starts[at] == asked && ends[at + length]),
              "boundary check differs from the cut");
    }
}

// Up to three double-byte characters made of seed's bytes, written as text and found again
// between others in a double-byte run, at their first byte; their bytes in single-byte mode
// are no hit.
void checkDoubleByteText(std::string_view seed)
{
    static const std::shared_ptr<const Encoding> kPages[] = {EncodingCatalog::make("IBM-930"),
                                                             EncodingCatalog::make("IBM-939")};
    std::string pairs;
    for (std::size_t i = 0; i + 1 < seed.size() && pairs.size() < 6; ++i)
        pairs += static_cast<char>(0x41 + static_cast<std::uint8_t>(seed[i]) % 0xBE);
    if (pairs.size() % 2 != 0)
        pairs.pop_back();
    for (const auto &page : kPages) {
        std::string utf8;
        for (std::size_t i = 0; i < pairs.size(); i += 2) {
            const Glyph glyph = page->glyph(std::string_view(pairs).substr(i, 2),
                                            ShiftedEbcdicEncoding::kDoubleByte);
            if (!glyph.mapped || glyph.utf8.empty())
                return;
            utf8 += glyph.utf8;
        }
        if (utf8.empty())
            return;
        std::optional<FindPattern> pattern;
        try {
            pattern.emplace(FindPattern::text(utf8, *page, true));
        } catch (const FindPattern::Error &) {
            continue;
        }
        check(pattern->startState() == ShiftedEbcdicEncoding::kDoubleByte,
              "double-byte text begins in single-byte mode");
        const std::string inRun = "\xC1\x0E\x45\x57" + pattern->bytes() + "\x45\x75\x0F\xC2";
        UnitBoundaries boundaries(*page);
        boundaries.reset(inRun);
        check(boundaries.holds(4, pattern->size(), pattern->startState()),
              "double-byte text not found inside its run");
        const std::string single = "\xC1" + pattern->bytes();
        boundaries.reset(single);
        check(!boundaries.holds(1, pattern->size(), pattern->startState()),
              "double-byte text found in single-byte mode");
    }
}

} // namespace

// data: an encoding's number, the hex text's length, the hex text (also the seed of double-byte
// text), the record's length, the record, then steps (low nibble: bytes forward; the next
// three bits: the candidate's length; the high bit: double-byte mode).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    if (input.size() < 3)
        return 0;
    const Encoding &encoding = encodingNumbered(static_cast<std::uint8_t>(input[0]));
    const std::size_t hexLength =
        std::min<std::size_t>(static_cast<std::uint8_t>(input[1]), input.size() - 2);
    checkHex(input.substr(2, hexLength));
    checkDoubleByteText(input.substr(2, hexLength));
    input.remove_prefix(2 + hexLength);
    if (input.empty())
        return 0;
    const std::size_t recordLength =
        std::min<std::size_t>(static_cast<std::uint8_t>(input[0]), input.size() - 1);
    checkBoundaries(encoding, input.substr(1, recordLength), input.substr(1 + recordLength));
    return 0;
}
