#include "FindPattern.h"

#include "CharacterEncoder.h"
#include "Encoding.h"

#include <cstdint>
#include <cstdio>

namespace {

// The code point of the UTF-8 sequence at at, for naming it; U+FFFD for an ill-formed one.
struct Named
{
    std::string_view sequence;
    char32_t codePoint;
};

Named characterAt(std::string_view utf8, std::size_t at)
{
    const auto first = static_cast<std::uint8_t>(utf8[at]);
    const std::size_t length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (first >= 0x80 && first < 0xC2)
        return {utf8.substr(at, 1), 0xFFFD};
    if (at + length > utf8.size())
        return {utf8.substr(at), 0xFFFD};
    static constexpr std::uint8_t kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = first & kLeadMasks[length];
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<std::uint8_t>(utf8[at + i]);
        if ((byte & 0xC0) != 0x80)
            return {utf8.substr(at, 1), 0xFFFD};
        value = (value << 6) | (byte & 0x3F);
    }
    return {utf8.substr(at, length), value};
}

std::string unwritableMessage(std::string_view utf8, std::size_t at, const Encoding &encoding)
{
    const Named named = characterAt(utf8, at);
    if (named.codePoint == 0xFFFD)
        return "The text is not valid UTF-8";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(named.codePoint));
    return "\u201C" + std::string(named.sequence) + "\u201D (" + code + ") cannot be written in " +
           encoding.name();
}

std::string swappedCase(std::string_view utf8, bool upper)
{
    std::string swapped(utf8);
    for (char &c : swapped) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return swapped;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the characters of written text lie between the shift codes around them, and the
// state they begin in.
struct Shifted
{
    std::size_t from = 0;
    std::size_t to = 0;
    ShiftState startState = 0;
};

Shifted innerOf(std::string_view written, const Encoding &encoding)
{
    Shifted inner{0, written.size(), 0};
    ShiftState state = 0;
    std::size_t at = 0;
    while (at < written.size()) {
        const Unit unit = encoding.unitAt(written, at, state);
        if (unit.kind == UnitKind::Shift && at == inner.from) {
            inner.from = at + unit.length;
            inner.startState = state;
        }
        if (unit.kind == UnitKind::Shift && at + unit.length == written.size() && at >= inner.from)
            inner.to = at;
        at += unit.length;
    }
    return inner;
}

} // namespace

FindPattern FindPattern::text(std::string_view utf8, const Encoding &encoding, bool matchCase)
{
    if (utf8.empty())
        throw Error("Type the text to find");
    const CharacterEncoder encoder(charsetOf(encoding));
    CharacterEncoder::Result typed = encoder.encode(utf8);
    if (typed.unwritable)
        throw Error(unwritableMessage(utf8, *typed.unwritable, encoding));
    std::string otherCase = typed.bytes;
    if (!matchCase) {
        // Each letter's other case, position by position: the letter written lower where it
        // was typed upper and the other way round. Only letters differ between the two, so no
        // byte of a double-byte character is ever folded.
        const CharacterEncoder::Result lower = encoder.encode(swappedCase(utf8, false));
        const CharacterEncoder::Result upper = encoder.encode(swappedCase(utf8, true));
        if (!lower.unwritable && !upper.unwritable && lower.bytes.size() == typed.bytes.size() &&
            upper.bytes.size() == typed.bytes.size()) {
            for (std::size_t i = 0; i < otherCase.size(); ++i)
                otherCase[i] = typed.bytes[i] == lower.bytes[i] ? upper.bytes[i] : lower.bytes[i];
        }
    }
    const Shifted inner = innerOf(typed.bytes, encoding);
    const std::size_t length = inner.to - inner.from;
    return FindPattern(typed.bytes.substr(inner.from, length), otherCase.substr(inner.from, length),
                       true, inner.startState);
}

FindPattern FindPattern::hex(std::string_view pairs)
{
    std::string bytes;
    std::size_t i = 0;
    while (i < pairs.size()) {
        if (isBlank(pairs[i])) {
            ++i;
            continue;
        }
        const int high = hexValue(pairs[i]);
        if (high < 0)
            throw Error("\"" + std::string(characterAt(pairs, i).sequence) +
                        "\" is no hex digit (position " + std::to_string(i + 1) + ")");
        if (i + 1 == pairs.size() || isBlank(pairs[i + 1]))
            throw Error("The hex digit at position " + std::to_string(i + 1) +
                        " has no partner: a byte takes two digits");
        const int low = hexValue(pairs[i + 1]);
        if (low < 0)
            throw Error("\"" + std::string(characterAt(pairs, i + 1).sequence) +
                        "\" is no hex digit (position " + std::to_string(i + 2) + ")");
        bytes += static_cast<char>(high << 4 | low);
        i += 2;
    }
    if (bytes.empty())
        throw Error("Type the bytes as hex pairs, such as 8A BF");
    std::string copy = bytes;
    return FindPattern(std::move(bytes), std::move(copy), false);
}

// The catalog's names, and the locale's "Windows-1252 (locale)", to iconv's.
std::string FindPattern::charsetOf(const Encoding &encoding)
{
    std::string name = encoding.name();
    constexpr std::string_view kLocale = " (locale)";
    if (name.ends_with(kLocale))
        name.resize(name.size() - kLocale.size());
    if (name == "Shift_JIS")
        return "CP932";
    if (name == "GBK")
        return "CP936";
    if (name == "Big5")
        return "CP950";
    if (name == "UHC")
        return "CP949";
    if (name.starts_with("Windows-"))
        return "CP" + name.substr(8);
    // The single-byte mode of CCSID 939 is page 1027.
    if (name == "IBM-1027")
        return "IBM939";
    if (name.starts_with("IBM-"))
        return "IBM" + name.substr(4);
    return name;
}
