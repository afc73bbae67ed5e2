#include "NumberDecoder.h"

#include "Item.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

using Reason = FieldValue::Reason;

std::uint8_t byteAt(std::string_view bytes, std::size_t i)
{
    return static_cast<std::uint8_t>(bytes[i]);
}

Reason plainDigit(std::uint8_t byte, std::uint8_t zone, Decimal &out)
{
    if ((byte >> 4) != zone)
        return Reason::Zone;
    if ((byte & 0x0F) > 9)
        return Reason::Digit;
    out.push(static_cast<char>('0' + (byte & 0x0F)));
    return Reason::None;
}

// The digit and sign of an ASCII byte that carries the sign: 0x30 to 0x39, 0x70 to 0x79,
// "{", "}", "A" to "R".
Reason asciiSignedDigit(std::uint8_t byte, bool isSigned, Decimal &out)
{
    if (byte >= 0x30 && byte <= 0x39) {
        out.push(static_cast<char>(byte));
        return Reason::None;
    }
    if (!isSigned)
        return (byte >> 4) == 3 ? Reason::Digit : Reason::Sign;
    if (byte >= 0x70 && byte <= 0x79) {
        out.negative = true;
        out.push(static_cast<char>('0' + (byte & 0x0F)));
    } else if (byte == '{' || byte == '}') {
        out.negative = byte == '}';
        out.push('0');
    } else if (byte >= 'A' && byte <= 'I') {
        out.push(static_cast<char>('1' + (byte - 'A')));
    } else if (byte >= 'J' && byte <= 'R') {
        out.negative = true;
        out.push(static_cast<char>('1' + (byte - 'J')));
    } else {
        return Reason::Sign;
    }
    return Reason::None;
}

Reason ebcdicSignedDigit(std::uint8_t byte, bool isSigned, Decimal &out)
{
    if ((byte & 0x0F) > 9)
        return Reason::Digit;
    const int sign = NumberDecoder::signOfNibble(byte >> 4, isSigned);
    if (sign == 0)
        return Reason::Sign;
    out.negative = sign < 0;
    out.push(static_cast<char>('0' + (byte & 0x0F)));
    return Reason::None;
}

// 10^digits for 0 to 38 digits.
constexpr auto kPowersOfTen = [] {
    std::array<unsigned __int128, 39> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 10;
    return powers;
}();

// Bytes as an unsigned number, big-endian or little-endian; in 64 bits where they fit, where
// it is quicker.
template <class Unsigned> Unsigned unsignedOf(std::string_view bytes, bool littleEndian)
{
    Unsigned value = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        value = value << 8 | byteAt(bytes, littleEndian ? bytes.size() - 1 - i : i);
    return value;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads numeric-edited text position by position. Before the first digit, Z, * and the
// insertion characters may stand as fill; a floating string (++9, --9, $$9) shows blanks, its
// symbol, then digits.
class EditedText
{
public:
    EditedText(std::string_view edit, Decimal &out) : m_edit(edit), m_out(out) {}

    Reason read(std::string_view text)
    {
        std::size_t at = 0;
        for (std::size_t i = 0; i < m_edit.size(); ++i) {
            const char symbol = m_edit[i];
            if (symbol == 'V' || symbol == 'P') {
                m_afterPoint = m_afterPoint || symbol == 'V';
                continue;
            }
            if (at >= text.size() || !position(i, text[at++]))
                return Reason::Edited;
        }
        return at == text.size() ? Reason::None : Reason::Edited;
    }

private:
    bool floats(char symbol) const { return std::count(m_edit.begin(), m_edit.end(), symbol) > 1; }

    bool digit(char c)
    {
        if (!isDigit(c))
            return false;
        m_started = true;
        m_out.push(c);
        m_out.scale += m_afterPoint;
        return true;
    }

    bool fill(char c, char allowed)
    {
        if (m_started || c != allowed)
            return false;
        m_out.push('0');
        m_out.scale += m_afterPoint;
        return true;
    }

    bool insertion(char c, char symbol) const
    {
        return c == symbol || (!m_started && (c == ' ' || c == '*'));
    }

    bool fixedSign(char c, char symbol)
    {
        if (m_signed)
            return false;
        m_signed = true;
        m_out.negative = c == '-';
        return c == '-' || c == (symbol == '+' ? '+' : ' ');
    }

    // The symbol itself shows where the digits begin; its first position is never a digit.
    bool floating(char c, char symbol, bool first)
    {
        if (c == ' ')
            return !m_started && !m_symbolShown;
        if (isDigit(c)) {
            if (first || (!m_symbolShown && symbol != '-'))
                return false;
            m_symbolShown = true;
            return digit(c);
        }
        if (m_started || m_symbolShown)
            return false;
        m_symbolShown = true;
        if (symbol == '$')
            return c == '$';
        m_signed = true;
        m_out.negative = c == '-';
        return c == '-' || (symbol == '+' && c == '+');
    }

    bool position(std::size_t i, char c)
    {
        const char symbol = m_edit[i];
        switch (symbol) {
        case '9':
            return digit(c);
        case 'Z':
            return digit(c) || fill(c, ' ');
        case '*':
            return digit(c) || fill(c, '*');
        case '.':
            m_afterPoint = true;
            return insertion(c, '.');
        case ',':
        case '/':
            return insertion(c, symbol);
        case 'B':
            return c == ' ' || (!m_started && c == '*');
        case '0':
            return insertion(c, '0');
        case '+':
        case '-':
        case '$':
            if (floats(symbol))
                return floating(c, symbol, m_edit.find(symbol) == i);
            return symbol == '$' ? c == '$' : fixedSign(c, symbol);
        case 'C':
        case 'D':
            m_pair = c;
            return c == symbol || c == ' ';
        case 'c':
            m_out.negative = m_pair == 'C';
            return m_pair == ' ' ? c == ' ' : c == 'R';
        case 'd':
            m_out.negative = m_pair == 'D';
            return m_pair == ' ' ? c == ' ' : c == 'B';
        default:
            return false;
        }
    }

    std::string_view m_edit;
    Decimal &m_out;
    bool m_started = false;
    bool m_afterPoint = false;
    bool m_signed = false;
    bool m_symbolShown = false;
    char m_pair = 0;
};

} // namespace

Reason NumberDecoder::zoned(std::string_view bytes, const Item &item, bool ebcdic, Decimal &out)
{
    const Picture &picture = *item.picture;
    out.start(picture.scale);
    const std::uint8_t zone = ebcdic ? 0xF : 0x3;
    std::size_t first = 0;
    std::size_t last = bytes.size();
    if (item.signSeparate) {
        const std::uint8_t signByte = byteAt(bytes, item.signLeading ? 0 : bytes.size() - 1);
        const std::uint8_t plus = ebcdic ? 0x4E : '+';
        const std::uint8_t minus = ebcdic ? 0x60 : '-';
        if (signByte != plus && signByte != minus)
            return Reason::Sign;
        out.negative = signByte == minus;
        (item.signLeading ? first : last) += item.signLeading ? 1 : -1;
    }
    const std::size_t signAt = item.signSeparate  ? bytes.size()
                               : item.signLeading ? first
                                                  : last - 1;
    for (std::size_t i = first; i < last; ++i) {
        const std::uint8_t byte = byteAt(bytes, i);
        Reason reason;
        if (i != signAt)
            reason = plainDigit(byte, zone, out);
        else if (ebcdic)
            reason = ebcdicSignedDigit(byte, picture.isSigned, out);
        else
            reason = asciiSignedDigit(byte, picture.isSigned, out);
        if (reason != Reason::None)
            return reason;
    }
    return Reason::None;
}

Reason NumberDecoder::packed(std::string_view bytes, const Item &item, Decimal &out)
{
    const Picture &picture = *item.picture;
    out.start(picture.scale);
    const std::size_t nibbles = bytes.size() * 2 - 1;
    const std::size_t pad = nibbles - static_cast<std::size_t>(picture.digits);
    for (std::size_t i = 0; i < nibbles; ++i) {
        const std::uint8_t byte = byteAt(bytes, i / 2);
        const std::uint8_t nibble = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
        if (nibble > 9)
            return Reason::Digit;
        if (i >= pad)
            out.push(static_cast<char>('0' + nibble));
        else if (nibble != 0)
            return Reason::Range;
    }
    const int sign =
        NumberDecoder::signOfNibble(byteAt(bytes, bytes.size() - 1) & 0x0F, picture.isSigned);
    if (sign == 0)
        return Reason::Sign;
    out.negative = sign < 0;
    return Reason::None;
}

Reason NumberDecoder::binary(std::string_view bytes, const Item &item, bool littleEndian,
                             Decimal &out)
{
    BinaryValue value;
    const Reason reason = binary(bytes, item, littleEndian, value);
    out = Decimal::fromMagnitude(value.magnitude, value.negative, binaryScale(item));
    return reason;
}

Reason NumberDecoder::binary(std::string_view bytes, const Item &item, bool littleEndian,
                             BinaryValue &out)
{
    const bool isSigned = item.picture && item.picture->category == Picture::Category::Numeric &&
                          item.picture->isSigned && item.usage != Usage::CompX;
    unsigned __int128 value = bytes.size() <= sizeof(std::uint64_t)
                                  ? unsignedOf<std::uint64_t>(bytes, littleEndian)
                                  : unsignedOf<unsigned __int128>(bytes, littleEndian);
    const std::uint8_t top = byteAt(bytes, littleEndian ? bytes.size() - 1 : 0);
    const bool negative = isSigned && (top & 0x80) != 0;
    const std::size_t bits = bytes.size() * 8;
    const unsigned __int128 negated =
        bits >= 128 ? ~value + 1 : ((unsigned __int128){1} << bits) - value;
    value = negative ? negated : value; // no branch: signs follow no pattern
    out = {value, negative};
    if (item.usage == Usage::Binary &&
        value >= kPowersOfTen[static_cast<std::size_t>(item.picture->digits)])
        return Reason::Range;
    return Reason::None;
}

Reason NumberDecoder::edited(std::string_view text, const Item &item, Decimal &out)
{
    out = Decimal{};
    if (text.find_first_not_of(' ') == text.npos) { // BLANK WHEN ZERO
        out.push('0');
        return text.size() == item.picture->positions ? Reason::None : Reason::Edited;
    }
    return EditedText(item.picture->edit, out).read(text);
}

double NumberDecoder::hexFloat(std::string_view bytes)
{
    std::uint64_t fraction = 0;
    for (std::size_t i = 1; i < bytes.size(); ++i)
        fraction = fraction << 8 | byteAt(bytes, i);
    const int exponent = (byteAt(bytes, 0) & 0x7F) - 64;
    const auto bits = static_cast<int>((bytes.size() - 1) * 8);
    // One rounding, in the conversion; the power of two is exact.
    const double value = std::ldexp(static_cast<double>(fraction), 4 * exponent - bits);
    return (byteAt(bytes, 0) & 0x80) && value != 0 ? -value : value;
}

double NumberDecoder::ieeeFloat(std::string_view bytes)
{
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        raw = raw << 8 | byteAt(bytes, i);
    if (bytes.size() == 4)
        return std::bit_cast<float>(static_cast<std::uint32_t>(raw));
    return std::bit_cast<double>(raw);
}
