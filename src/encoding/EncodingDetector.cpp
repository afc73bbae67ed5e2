#include "EncodingDetector.h"

#include "CharsetDetector.h"
#include "EncodingCatalog.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::size_t kSample = std::size_t{1} << 20;
constexpr std::uint8_t kEbcdicSpace = 0x40;
constexpr std::uint8_t kShiftOut = 0x0E;

// EBCDIC text has spaces at 0x40 where ASCII text has them at 0x20, and hardly a byte of
// ASCII's letters; Japanese EBCDIC shifts with SO. CCSID 939 has Latin small letters at
// 81-A9, where 930 has katakana that text uses far less often than 939 uses letters.
std::string ebcdicGuess(std::string_view sample)
{
    std::array<std::size_t, 256> counts{};
    for (const char byte : sample)
        ++counts[static_cast<std::uint8_t>(byte)];
    std::size_t asciiLetters = 0;
    std::size_t smallLetters = 0;
    for (std::size_t byte = 'a'; byte <= 'z'; ++byte)
        asciiLetters += counts[byte];
    for (const auto &[low, high] : {std::pair{0x81, 0x89}, {0x91, 0x99}, {0xA2, 0xA9}}) {
        for (int byte = low; byte <= high; ++byte)
            smallLetters += counts[static_cast<std::size_t>(byte)];
    }
    const bool spaces =
        counts[kEbcdicSpace] > counts[' '] && counts[kEbcdicSpace] * 20 > sample.size();
    if (!spaces || asciiLetters > counts[kEbcdicSpace])
        return {};
    if (counts[kShiftOut] == 0)
        return "IBM-037";
    return smallLetters * 20 > sample.size() ? "IBM-939" : "IBM-930";
}

} // namespace

EncodingDetector::Result EncodingDetector::detect(std::string_view bytes)
{
    const std::string_view sample = bytes.substr(0, kSample);
    if (std::string ebcdic = ebcdicGuess(sample); !ebcdic.empty())
        return {ebcdic, "EBCDIC spaces (0x40)"};
    const auto guess = CharsetDetector::guess(sample);
    if (!guess)
        return {{}, "no guess"};
    const std::string seen = "ICU: " + guess->name + ", " + std::to_string(guess->confidence) + "%";
    const EncodingCatalog::Entry *entry = EncodingCatalog::find(guess->name);
    return {entry ? entry->name : std::string(), seen};
}
