#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The user's locale as the C library and Qt read it (LC_ALL, then LC_CTYPE, then LANG),
// described in the terms the viewer needs: a language and its default ANSI code page.
class UserLocale
{
public:
    // "ja_JP.UTF-8", "de", "C", ... An empty, "C" or "POSIX" name means English (United States).
    explicit UserLocale(std::string_view name);
    static UserLocale fromEnvironment();

    // ISO 639 code in lower case: "ja", "en", ...
    const std::string &language() const { return m_language; }
    // Low 10 bits of the Windows language identifier (0x11 Japanese, 0x09 English, ...).
    std::uint16_t primaryLanguage() const;
    // The whole Windows language identifier, sub-language included: 0x0411 for ja_JP, 0x0809
    // for en_GB. A territory not listed gets its language's usual one; a language not known
    // gets 0 (neutral).
    std::uint16_t languageId() const;
    // Windows default ANSI code page of the language: 932, 936, 949, 950, or a single-byte page.
    int ansiCodePage() const;
    // Languages whose lead-byte set is left empty whatever the code page says.
    bool isWestern() const;

private:
    std::string m_language;
    std::string m_territory;
};
