#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ICU's guess at the character set of some text.
class CharsetDetector
{
public:
    struct Guess
    {
        std::string name;   // ICU's name: "Shift_JIS", "UTF-8", "EUC-JP", "ISO-8859-1", ...
        int confidence = 0; // 0 to 100
    };

    // The best guess; nothing when ICU has none.
    static std::optional<Guess> guess(std::string_view text);
    // Every guess ICU has, the most confident first.
    static std::vector<Guess> guesses(std::string_view text);
};
