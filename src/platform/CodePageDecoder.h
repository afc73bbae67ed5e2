#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Decodes characters of a Windows code page to UTF-8 through the C library's iconv. Every
// character of one byte, and of two bytes led by one of the page's lead bytes, is decoded once
// when the decoder is made; afterwards a character is a table look-up.
class CodePageDecoder
{
public:
    // Throws Failure when the C library has no converter for the code page.
    explicit CodePageDecoder(int codePage);

    struct Glyph
    {
        std::string_view utf8; // empty when the bytes decode to no printable character
        int columns = 0;       // terminal columns as the C library counts them (wcwidth)
    };

    // One character of one or two bytes; nothing when those bytes do not decode to printable
    // characters (control characters and unassigned code points are not printable).
    std::optional<std::string> decode(std::string_view character) const;
    // The same, as a view into the decoder's table, with its width in terminal columns: 2 for
    // most double-byte characters, 0 for a combining mark.
    Glyph glyph(std::string_view character) const;

private:
    struct Entry
    {
        std::uint32_t offset = 0;
        std::uint8_t size = 0;
        std::uint8_t columns = 0;
    };

    static std::optional<std::size_t> indexOf(std::string_view character);

    std::string m_utf8;           // the UTF-8 of every printable entry, end to end
    std::vector<Entry> m_entries; // one per single byte, then one per pair of bytes
};
