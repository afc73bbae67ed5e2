#pragma once

#include <array>
#include <cstdint>
#include <string_view>

class TextDecoder;

// The characters of a JSON string for each byte of a single-byte encoding, escaped, made once
// from the decoder's own mapping: text fields become a table look-up a byte.
class JsonText
{
public:
    // Bytes written for each byte of text: its characters and a few past them.
    static constexpr std::size_t kMostPerByte = 8;

    // Usable when the decoder's encoding is single-byte.
    explicit JsonText(const TextDecoder &decoder);

    bool usable() const { return m_usable; }
    // The text of bytes, its trailing blanks removed, as the characters of a JSON string,
    // at `at`, which has room for kMostPerByte bytes each; the end of it, or nullptr when a
    // byte has no character.
    char *write(std::string_view bytes, char *at) const
    {
        // Without a branch a byte: blanks are written and cut off after the last other.
        char *end = at;
        bool unmapped = false;
        for (const char byte : bytes) {
            const Character &character = characterOf(byte);
            // All eight bytes at once; the length says how many count.
            __builtin_memcpy(at, &character, kMostPerByte);
            at += character.length;
            unmapped |= character.kind == Kind::Unmapped;
            end = character.kind == Kind::Blank ? end : at;
        }
        return unmapped ? nullptr : end;
    }

private:
    enum class Kind : std::uint8_t { Unmapped, Character, Blank };
    struct Character
    {
        std::array<char, 6> text{}; // the longest escape, \u001F, fits
        std::uint8_t length = 0;
        Kind kind = Kind::Unmapped;
    };
    static_assert(sizeof(Character) == kMostPerByte);

    const Character &characterOf(char byte) const
    {
        return m_characters[static_cast<std::uint8_t>(byte)];
    }

    std::array<Character, 256> m_characters{};
    bool m_usable = false;
};
