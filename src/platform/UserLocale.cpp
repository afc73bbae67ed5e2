#include "UserLocale.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

struct LanguageEntry
{
    std::string_view code;
    std::uint16_t primaryLanguage;
    int ansiCodePage;
};

// ISO 639 code -> Windows primary language and default ANSI code page.
constexpr std::array kLanguages{
    LanguageEntry{"ar", 0x01, 1256}, LanguageEntry{"bg", 0x02, 1251},
    LanguageEntry{"ca", 0x03, 1252}, LanguageEntry{"zh", 0x04, 936},
    LanguageEntry{"cs", 0x05, 1250}, LanguageEntry{"da", 0x06, 1252},
    LanguageEntry{"de", 0x07, 1252}, LanguageEntry{"el", 0x08, 1253},
    LanguageEntry{"en", 0x09, 1252}, LanguageEntry{"es", 0x0A, 1252},
    LanguageEntry{"fi", 0x0B, 1252}, LanguageEntry{"fr", 0x0C, 1252},
    LanguageEntry{"he", 0x0D, 1255}, LanguageEntry{"hu", 0x0E, 1250},
    LanguageEntry{"is", 0x0F, 1252}, LanguageEntry{"it", 0x10, 1252},
    LanguageEntry{"ja", 0x11, 932},  LanguageEntry{"ko", 0x12, 949},
    LanguageEntry{"nl", 0x13, 1252}, LanguageEntry{"no", 0x14, 1252},
    LanguageEntry{"nb", 0x14, 1252}, LanguageEntry{"nn", 0x14, 1252},
    LanguageEntry{"pl", 0x15, 1250}, LanguageEntry{"pt", 0x16, 1252},
    LanguageEntry{"ro", 0x18, 1250}, LanguageEntry{"ru", 0x19, 1251},
    LanguageEntry{"hr", 0x1A, 1250}, LanguageEntry{"sk", 0x1B, 1250},
    LanguageEntry{"sq", 0x1C, 1250}, LanguageEntry{"sv", 0x1D, 1252},
    LanguageEntry{"th", 0x1E, 874},  LanguageEntry{"tr", 0x1F, 1254},
    LanguageEntry{"id", 0x21, 1252}, LanguageEntry{"uk", 0x22, 1251},
    LanguageEntry{"be", 0x23, 1251}, LanguageEntry{"sl", 0x24, 1250},
    LanguageEntry{"et", 0x25, 1257}, LanguageEntry{"lv", 0x26, 1257},
    LanguageEntry{"lt", 0x27, 1257}, LanguageEntry{"vi", 0x2A, 1258},
};

constexpr std::array<std::uint16_t, 12> kWesternLanguages{0x00, 0x06, 0x07, 0x09, 0x0A, 0x0B,
                                                          0x0C, 0x10, 0x13, 0x14, 0x16, 0x1D};

const LanguageEntry *findLanguage(std::string_view code)
{
    auto it = std::find_if(kLanguages.begin(), kLanguages.end(),
                           [code](const LanguageEntry &e) { return e.code == code; });
    return it == kLanguages.end() ? nullptr : &*it;
}

std::string lowerAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return result;
}

} // namespace

UserLocale::UserLocale(std::string_view name)
{
    // language[_territory][.codeset][@modifier]
    name = name.substr(0, name.find_first_of(".@"));
    const auto underscore = name.find('_');
    m_language = lowerAscii(name.substr(0, underscore));
    if (underscore != std::string_view::npos)
        m_territory = name.substr(underscore + 1);
    if (m_language.empty() || m_language == "c" || m_language == "posix") {
        m_language = "en";
        m_territory = "US";
    }
}

UserLocale UserLocale::fromEnvironment()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return UserLocale(value);
    }
    return UserLocale("C");
}

std::uint16_t UserLocale::primaryLanguage() const
{
    const LanguageEntry *entry = findLanguage(m_language);
    return entry ? entry->primaryLanguage : 0x00;
}

int UserLocale::ansiCodePage() const
{
    if (m_language == "zh" && (m_territory == "TW" || m_territory == "HK" || m_territory == "MO"))
        return 950;
    const LanguageEntry *entry = findLanguage(m_language);
    return entry ? entry->ansiCodePage : 1252;
}

bool UserLocale::isWestern() const
{
    return std::find(kWesternLanguages.begin(), kWesternLanguages.end(), primaryLanguage()) !=
           kWesternLanguages.end();
}
