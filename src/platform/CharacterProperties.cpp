#include "CharacterProperties.h"

#include "Failure.h"

#include <unicode/uchar.h>

#include <locale.h>
#include <wchar.h>

namespace {

// wcwidth follows LC_CTYPE; any UTF-8 locale has the same widths, and C.UTF-8 is always there.
int utf8LocaleWidth(char32_t codePoint)
{
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (!utf8)
        throw Failure("The C.UTF-8 locale is missing");
    const locale_t previous = uselocale(utf8);
    const int width = wcwidth(static_cast<wchar_t>(codePoint));
    uselocale(previous);
    return width;
}

bool visibleCategory(char32_t codePoint)
{
    switch (u_charType(static_cast<UChar32>(codePoint))) {
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR:
    case U_SURROGATE:
    case U_PRIVATE_USE_CHAR:
    case U_UNASSIGNED:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
        return false;
    default:
        return true;
    }
}

} // namespace

std::uint8_t CharacterProperties::printableWidth(char32_t codePoint)
{
    if (codePoint > 0x10FFFF || !visibleCategory(codePoint))
        return 0;
    const int width = utf8LocaleWidth(codePoint);
    return width == 1 || width == 2 ? static_cast<std::uint8_t>(width) : 0;
}
