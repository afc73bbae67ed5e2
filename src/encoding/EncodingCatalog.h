#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Encoding;
class UserLocale;

// The encodings a user can choose, by the names and aliases people know them by.
class EncodingCatalog
{
public:
    struct Entry
    {
        std::string name;  // as shown: "Shift_JIS", "UTF-8", "IBM-939"
        std::string group; // "Japanese", "Unicode", "Chinese", "Korean", "Western", "EBCDIC"
        std::vector<std::string> aliases;
        std::function<std::shared_ptr<const Encoding>()> make;
    };

    // In the order of a menu: grouped, the groups in the order above.
    static const std::vector<Entry> &entries();
    // The entry a name or alias stands for, ignoring case, blanks, "-", "_" and ".".
    static const Entry *find(std::string_view name);
    // The encoding named; nothing for a name that is not in the catalog. Throws Failure
    // when the C library lacks the converter.
    static std::shared_ptr<const Encoding> make(std::string_view name);

    // The default: the locale's code page under the locale's lead-byte rules, named after
    // the page with " (locale)", as in "Windows-1252 (locale)".
    static std::shared_ptr<const Encoding> forLocale(const UserLocale &locale);
    // The catalog's name of a Windows code page: "Shift_JIS" for 932, "Windows-1252", ...
    static std::string codePageName(int codePage);
};
