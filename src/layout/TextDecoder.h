#pragma once

#include "CharacterConverter.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

class Encoding;

// Characters of a record's fields as UTF-8, through the encodings' converters. Each call
// appends to out and says whether every character had a mapping.
class TextDecoder
{
public:
    explicit TextDecoder(std::shared_ptr<const Encoding> encoding);

    // Under the EBCDIC pages, the Japanese mixed page whose double-byte half reads PIC G and N:
    // 930 for 290 and 930, else 939. Nothing under the others.
    static std::shared_ptr<const Encoding> doubleByteHalfOf(const Encoding &encoding);

    // The EBCDIC pages hold zoned digits and signs their own way.
    bool ebcdic() const { return m_ebcdic; }
    // Whether every byte is a character of its own.
    bool singleByte() const { return m_singleByte; }

    // In the record's encoding, shift codes and all.
    bool text(std::string_view bytes, std::string &out) const;
    // PIC G and N as DBCS: under EBCDIC, pairs with no SO or SI, read by the Japanese mixed
    // page (930 for 290 and 930, else 939); under other encodings, the encoding's own.
    bool doubleByte(std::string_view bytes, std::string &out) const;
    // UTF-16 big-endian.
    bool national(std::string_view bytes, std::string &out) const;

private:
    struct Single
    {
        std::array<char, 4> utf8{};
        std::uint8_t length = 0;
        bool mapped = false;
    };

    std::shared_ptr<const Encoding> m_encoding;
    std::shared_ptr<const Encoding> m_doubleByte; // EBCDIC only
    bool m_ebcdic = false;
    bool m_singleByte = false; // every byte a character: read through m_singles
    std::array<Single, 256> m_singles{};
    CharacterConverter m_utf16;
};
