// Reads hex patterns against a literal reading of the rule, and checks candidates for unit
// boundaries against a cut of the record unit by unit from its start.
#include "Encoding.h"
#include "EncodingCatalog.h"
#include "FindPattern.h"
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

constexpr const char *kEncodings[] = {"Shift_JIS", "EUC-JP",  "UTF-8",   "GB18030",     "Big5",
                                      "UHC",       "IBM-939", "IBM-037", "Windows-1252"};

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

void checkBoundaries(const Encoding &encoding, std::string_view record, std::string_view steps)
{
    std::vector<bool> starts(record.size() + 1, false);
    std::vector<bool> ends(record.size() + 1, false);
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        starts[at] = state == 0;
        at += encoding.unitAt(record, at, state).length;
        ends[at] = true;
    }
    UnitBoundaries boundaries(encoding);
    boundaries.reset(record);
    std::size_t at = 0;
    for (const char step : steps) {
        const auto byte = static_cast<std::uint8_t>(step);
        at += byte & 0x0F;
        const std::size_t length = 1 + (byte >> 4) % 6;
        if (at + length > record.size())
            break;
        check(boundaries.holds(at, length) == (starts[at] && ends[at + length]),
              "boundary check differs from the cut");
    }
}

} // namespace

// data: an encoding's number, the hex text's length, the hex text, the record's length, the
// record, then steps (low nibble: bytes forward; high: the candidate's length).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    if (input.size() < 3)
        return 0;
    const Encoding &encoding = encodingNumbered(static_cast<std::uint8_t>(input[0]));
    const std::size_t hexLength =
        std::min<std::size_t>(static_cast<std::uint8_t>(input[1]), input.size() - 2);
    checkHex(input.substr(2, hexLength));
    input.remove_prefix(2 + hexLength);
    if (input.empty())
        return 0;
    const std::size_t recordLength =
        std::min<std::size_t>(static_cast<std::uint8_t>(input[0]), input.size() - 1);
    checkBoundaries(encoding, input.substr(1, recordLength), input.substr(1 + recordLength));
    return 0;
}
