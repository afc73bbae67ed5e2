#include "JsonText.h"

#include "JsonLinesWriter.h"
#include "TextDecoder.h"

#include <algorithm>
#include <string>

JsonText::JsonText(const TextDecoder &decoder)
{
    if (!decoder.singleByte())
        return;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char unit = static_cast<char>(byte);
        std::string utf8;
        if (!decoder.text(std::string_view(&unit, 1), utf8))
            continue;
        // Blanks are trimmed as characters of their own; one that ends another character
        // would be trimmed from it, which a table cannot do.
        if (utf8.empty() || (utf8.back() == ' ' && utf8 != " "))
            return;
        std::string escaped;
        JsonLinesWriter::appendEscaped(utf8, escaped);
        Character &character = m_characters[byte];
        if (escaped.size() > character.text.size())
            return;
        std::copy(escaped.begin(), escaped.end(), character.text.begin());
        character.length = static_cast<std::uint8_t>(escaped.size());
        character.kind = utf8 == " " ? Kind::Blank : Kind::Character;
    }
    m_usable = true;
}
