#pragma once

#include "EncodingBase.h"

#include <bitset>
#include <string>
#include <vector>

// A code page of single bytes and two-byte characters, a lead byte and a trail byte from the
// page's published ranges: GBK, Big5, UHC.
class DoubleByteEncoding : public EncodingBase<DoubleByteEncoding>
{
public:
    static constexpr bool kAsciiCompatible = true;

    struct Range
    {
        std::uint8_t low;
        std::uint8_t high;
    };
    struct Layout
    {
        std::vector<Range> singles;
        std::vector<Range> leads;
        std::vector<Range> trails;
    };

    // charset: the C library's name for the page.
    DoubleByteEncoding(std::string name, const std::string &charset, const Layout &layout);

    Unit cut(std::string_view record, std::size_t at, ShiftState &state) const;
    // Only a trail byte goes on with a unit.
    bool beginsUnit(std::uint8_t byte) const { return !m_trails[byte]; }

private:
    using ByteSet = std::bitset<256>;
    static ByteSet setOf(const std::vector<Range> &ranges);

    ByteSet m_singles;
    ByteSet m_leads;
    ByteSet m_trails;
};
