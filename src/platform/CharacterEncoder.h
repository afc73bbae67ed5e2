#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Writes UTF-8 text in a named character set through the C library's iconv. Each call starts
// from the converter's initial state and ends back in it.
class CharacterEncoder
{
public:
    struct Result
    {
        std::string bytes;
        // Where the first character that the character set cannot write begins, in the text;
        // nothing when all of it was written. bytes is then empty.
        std::optional<std::size_t> unwritable;
    };

    // Throws Failure when the C library has no converter to charset.
    explicit CharacterEncoder(const std::string &charset);
    ~CharacterEncoder();
    CharacterEncoder(CharacterEncoder &&) noexcept;
    CharacterEncoder &operator=(CharacterEncoder &&) noexcept;

    // utf8 must be well-formed; an ill-formed sequence counts as unwritable.
    Result encode(std::string_view utf8) const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
