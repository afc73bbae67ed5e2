#include "Utf8.h"

#include "Utf8Encoding.h"

void Utf8::append(std::string &out, char32_t c)
{
    const auto put = [&out](char32_t bits) {
        out.push_back(static_cast<char>(bits));
    };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

std::u32string Utf8::codePoints(std::string_view utf8)
{
    std::u32string result;
    std::size_t at = 0;
    while (at < utf8.size()) {
        ShiftState state = 0;
        const Unit unit = Utf8Encoding::cut(utf8, at, state);
        if (unit.kind == UnitKind::Character)
            result += Utf8Encoding::codePoint(utf8.substr(at, unit.length));
        at += unit.length;
    }
    return result;
}
