#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Decodes byte sequences of a named character set to Unicode through the C library's iconv.
// Each call starts from the converter's initial state.
class CharacterConverter
{
public:
    // Throws Failure when the C library has no converter for charset.
    explicit CharacterConverter(const std::string &charset);
    ~CharacterConverter();
    CharacterConverter(CharacterConverter &&) noexcept;
    CharacterConverter &operator=(CharacterConverter &&) noexcept;

    // Whether the C library can convert from charset at all.
    static bool exists(const std::string &charset);

    // The code points of bytes, or nothing when the converter cannot map all of them.
    std::optional<std::u32string> decode(std::string_view bytes) const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
