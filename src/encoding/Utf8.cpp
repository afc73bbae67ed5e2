#include "Utf8.h"

#include "Utf8Encoding.h"

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
