#include "EncodingDetector.h"

#include "CharsetDetector.h"
#include "Encoding.h"
#include "EncodingCatalog.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kSample = std::size_t{1} << 20;
// Enough units to tell the candidates apart, cut once per candidate.
constexpr std::size_t kTallySample = std::size_t{256} << 10;
constexpr std::uint8_t kEbcdicSpace = 0x40;
constexpr std::uint8_t kShiftOut = 0x0E;

// EBCDIC text has spaces at 0x40 where ASCII text has them at 0x20, and hardly a byte of
// ASCII's letters.
bool looksEbcdic(const std::array<std::size_t, 256> &counts, std::size_t size)
{
    std::size_t asciiLetters = 0;
    for (std::size_t byte = 'a'; byte <= 'z'; ++byte)
        asciiLetters += counts[byte];
    const bool spaces = counts[kEbcdicSpace] > counts[' '] && counts[kEbcdicSpace] * 20 > size;
    return spaces && asciiLetters <= counts[kEbcdicSpace];
}

// C0 and C1 controls but tab, CR and LF: what text does not hold, though a page maps it.
bool isControl(std::string_view utf8)
{
    if (utf8.size() == 1) {
        const auto c = static_cast<std::uint8_t>(utf8[0]);
        return c < 0x20 && c != '\t' && c != '\r' && c != '\n';
    }
    return utf8.size() == 2 && static_cast<std::uint8_t>(utf8[0]) == 0xC2 &&
           static_cast<std::uint8_t>(utf8[1]) < 0xA0;
}

enum class Script { Other, Latin, Kana };

Script scriptOf(std::string_view utf8)
{
    if (utf8.size() == 1) {
        const char c = utf8[0];
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? Script::Latin : Script::Other;
    }
    // Half-width katakana, U+FF66 to U+FF9F.
    const bool kana = utf8 >= "\xEF\xBD\xA6" && utf8 <= "\xEF\xBE\x9F" && utf8.size() == 3;
    return kana ? Script::Kana : Script::Other;
}

// What a sample becomes in an encoding: its units, those that are ill-formed, unmapped or
// controls, and the single-byte letters next to a letter of the other script.
struct Tally
{
    std::size_t units = 0;
    std::size_t bad = 0;
    std::size_t mixedLetters = 0;
};

Tally tallyOf(const Encoding &encoding, std::string_view sample)
{
    Tally tally;
    ShiftState state = 0;
    Script previous = Script::Other;
    for (std::size_t at = 0; at < sample.size();) {
        const ShiftState before = state;
        const Unit unit = encoding.unitAt(sample, at, state);
        ++tally.units;
        Script script = Script::Other;
        if (unit.kind == UnitKind::IllFormed) {
            ++tally.bad;
        } else if (unit.kind == UnitKind::Character) {
            const Glyph glyph = encoding.glyph(sample.substr(at, unit.length), before);
            if (!glyph.mapped || isControl(glyph.utf8))
                ++tally.bad;
            script = unit.length == 1 ? scriptOf(glyph.utf8) : Script::Other;
        }
        if (script != Script::Other && previous != Script::Other && script != previous)
            ++tally.mixedLetters;
        previous = script;
        at += unit.length;
    }
    return tally;
}

// CCSID 930 and 939 differ in their single-byte halves: where one has Latin small letters the
// other has katakana. Read in the wrong one, words mix the two scripts, and its few unmapped
// bytes turn up. Failing that, 939 has Latin small letters at 81-A9, where 930 has katakana
// that text uses far less often than 939 uses letters.
std::string shiftedGuess(std::string_view sample, const std::array<std::size_t, 256> &counts)
{
    const std::string_view cut = sample.substr(0, kTallySample);
    const Tally ibm930 = tallyOf(*EncodingCatalog::make("IBM-930"), cut);
    const Tally ibm939 = tallyOf(*EncodingCatalog::make("IBM-939"), cut);
    const std::size_t score930 = ibm930.bad + ibm930.mixedLetters;
    const std::size_t score939 = ibm939.bad + ibm939.mixedLetters;
    if (score930 != score939)
        return score930 < score939 ? "IBM-930" : "IBM-939";
    std::size_t smallLetters = 0;
    for (const auto &[low, high] : {std::pair{0x81, 0x89}, {0x91, 0x99}, {0xA2, 0xA9}}) {
        for (int byte = low; byte <= high; ++byte)
            smallLetters += counts[static_cast<std::size_t>(byte)];
    }
    return smallLetters * 20 > sample.size() ? "IBM-939" : "IBM-930";
}

std::string ebcdicGuess(std::string_view sample)
{
    std::array<std::size_t, 256> counts{};
    for (const char byte : sample)
        ++counts[static_cast<std::uint8_t>(byte)];
    if (!looksEbcdic(counts, sample.size()))
        return {};
    if (counts[kShiftOut] == 0)
        return "IBM-037";
    return shiftedGuess(sample, counts);
}

struct Candidate
{
    const EncodingCatalog::Entry *entry;
    int confidence;
    double badShare;
};

// ICU's guesses that the catalog holds, each once, with the share of the sample's units that
// come out bad in it.
std::vector<Candidate> candidatesOf(std::string_view sample,
                                    const std::vector<CharsetDetector::Guess> &guesses)
{
    const std::string_view cut = sample.substr(0, kTallySample);
    std::vector<Candidate> candidates;
    for (const CharsetDetector::Guess &guess : guesses) {
        const EncodingCatalog::Entry *entry = EncodingCatalog::find(guess.name);
        const bool seen = std::ranges::any_of(
            candidates, [&](const Candidate &candidate) { return candidate.entry == entry; });
        if (!entry || seen)
            continue;
        const Tally tally = tallyOf(*entry->make(), cut);
        const double share = tally.units == 0 ? 0.0 : double(tally.bad) / double(tally.units);
        candidates.push_back({entry, guess.confidence, share});
    }
    return candidates;
}

// A share smaller by this much (one unit in a thousand) is clearly smaller: a stray byte in a
// long text does not overrule ICU's confidence.
constexpr double kClearlySmaller = 0.001;

} // namespace

EncodingDetector::Result EncodingDetector::detect(std::string_view bytes)
{
    const std::string_view sample = bytes.substr(0, kSample);
    if (std::string ebcdic = ebcdicGuess(sample); !ebcdic.empty())
        return {ebcdic, "EBCDIC spaces (0x40)"};
    const std::vector<CharsetDetector::Guess> guesses = CharsetDetector::guesses(sample);
    if (guesses.empty())
        return {{}, "no guess"};
    const std::vector<Candidate> candidates = candidatesOf(sample, guesses);
    if (candidates.empty())
        return {{},
                "ICU: " + guesses.front().name + ", " + std::to_string(guesses.front().confidence) +
                    "%"};
    // The most confident, unless another leaves clearly fewer units bad.
    const Candidate *best = &candidates.front();
    for (const Candidate &candidate : candidates) {
        if (candidate.badShare + kClearlySmaller < best->badShare)
            best = &candidate;
    }
    char bad[32];
    std::snprintf(bad, sizeof bad, "%.1f%%", best->badShare * 100);
    return {best->entry->name, "ICU: " + best->entry->name + ", " +
                                   std::to_string(best->confidence) + "%; " + bad +
                                   " of units unmapped or controls"};
}
