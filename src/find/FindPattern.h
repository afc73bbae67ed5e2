#pragma once

#include "Unit.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

class Encoding;

// What a search looks for: bytes, and whether hits must lie on the encoding's units.
class FindPattern
{
public:
    // Text that cannot be had as bytes; the message says why, for the user.
    class Error : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    // utf8 in the bytes of encoding; hits begin and end on its units. Unless matchCase, an
    // ASCII letter also matches its other case. Under a page with shift codes, the codes
    // before the first character and after the last are left out, so that text in double-byte
    // mode is found anywhere in a double-byte run. Throws Error naming the first character the
    // encoding cannot write, or when the text is empty.
    static FindPattern text(std::string_view utf8, const Encoding &encoding, bool matchCase);
    // Hex pairs, blanks between them optional: "8A BF", "8abf". A hit may begin at any byte.
    static FindPattern hex(std::string_view pairs);

    const std::string &bytes() const { return m_bytes; }
    // bytes() with every letter in its other case where case does not matter; else bytes().
    const std::string &otherCase() const { return m_otherCase; }
    std::size_t size() const { return m_bytes.size(); }
    bool onUnits() const { return m_onUnits; }
    // The shift state a hit begins in: double-byte mode for text that begins with such a
    // character under a page with shift codes; else 0.
    ShiftState startState() const { return m_startState; }
    bool caseFolded() const { return m_otherCase != m_bytes; }

    bool operator==(const FindPattern &) const = default;

    // The C library's name of the character set an encoding is written in.
    static std::string charsetOf(const Encoding &encoding);

private:
    FindPattern(std::string bytes, std::string otherCase, bool onUnits, ShiftState startState = 0)
        : m_bytes(std::move(bytes)), m_otherCase(std::move(otherCase)), m_onUnits(onUnits),
          m_startState(startState)
    {}

    std::string m_bytes;
    std::string m_otherCase;
    bool m_onUnits;
    ShiftState m_startState;
};
