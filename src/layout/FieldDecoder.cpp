#include "FieldDecoder.h"

#include "Item.h"
#include "HexDigits.h"
#include "NumberDecoder.h"

#include <charconv>
#include <cmath>

namespace {

using Reason = FieldValue::Reason;
using Kind = FieldValue::Kind;

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
constexpr std::size_t kMostBinary = 16; // what 128 bits hold

void trimBlanks(std::string &out, std::size_t from, bool ideographic)
{
    std::size_t end = out.size();
    while (end > from) {
        if (out[end - 1] == ' ')
            --end;
        else if (ideographic && end - from >= 3 &&
                 std::string_view(out).substr(end - 3, 3) == kIdeographicSpace)
            end -= 3;
        else
            break;
    }
    out.resize(end);
}

} // namespace

FieldDecoder::FieldDecoder(std::shared_ptr<const Encoding> encoding, Options options)
    : m_text(std::move(encoding)), m_options(options),
      m_hexFloats(options.floats == Options::Floats::Hex ||
                  (options.floats == Options::Floats::ByEncoding && m_text.ebcdic()))
{}

FieldValue FieldDecoder::decode(std::string_view bytes, const Item &item, std::string &out) const
{
    switch (item.usage) {
    case Usage::Comp1:
    case Usage::Comp2:
        return floating(bytes, out);
    case Usage::Index:
    case Usage::Pointer:
        HexDigits::append(bytes, out);
        return {Kind::Hex, Reason::None};
    case Usage::CompX:
        if (bytes.size() > kMostBinary) {
            HexDigits::append(bytes, out);
            return {Kind::Hex, Reason::None};
        }
        return number(bytes, item, out);
    case Usage::Display1:
    case Usage::National:
        return text(bytes, item, out);
    default:
        break;
    }
    const Picture::Category category = item.picture->category;
    if (category == Picture::Category::Alphanumeric || category == Picture::Category::DoubleByte)
        return text(bytes, item, out);
    return number(bytes, item, out);
}

std::optional<std::int64_t> FieldDecoder::counter(std::string_view bytes, const Item &item) const
{
    Decimal value;
    if (item.usage == Usage::CompX && bytes.size() > kMostBinary)
        return std::nullopt;
    if (decimal(bytes, item, value) != Reason::None)
        return std::nullopt;
    return value.integer();
}

Layout::CounterReader FieldDecoder::counterReader() const
{
    return [this](std::string_view bytes, const Item &item) {
        return counter(bytes, item);
    };
}

FieldValue FieldDecoder::text(std::string_view bytes, const Item &item, std::string &out) const
{
    const std::size_t start = out.size();
    const bool doubleByte = item.picture->category == Picture::Category::DoubleByte;
    const bool national = item.usage == Usage::National ||
                          (item.usage == Usage::Display && doubleByte && m_options.nationalN);
    bool mapped;
    if (national)
        mapped = m_text.national(bytes, out);
    else if (doubleByte)
        mapped = m_text.doubleByte(bytes, out);
    else
        mapped = m_text.text(bytes, out);
    if (!mapped) {
        out.resize(start);
        return FieldValue::invalid(Reason::Unmapped);
    }
    trimBlanks(out, start, doubleByte);
    return {Kind::Text, Reason::None};
}

FieldValue FieldDecoder::number(std::string_view bytes, const Item &item, std::string &out) const
{
    Decimal value;
    const Reason reason = decimal(bytes, item, value);
    if (reason != Reason::None)
        return FieldValue::invalid(reason);
    value.appendTo(out);
    return {Kind::Number, Reason::None};
}

Reason FieldDecoder::decimal(std::string_view bytes, const Item &item, Decimal &out) const
{
    switch (item.usage) {
    case Usage::Packed:
        return NumberDecoder::packed(bytes, item, out);
    case Usage::Binary:
    case Usage::CompX:
        return NumberDecoder::binary(bytes, item, false, out);
    case Usage::Comp5:
        return NumberDecoder::binary(bytes, item, m_options.littleEndianComp5, out);
    default:
        break;
    }
    if (item.picture->category != Picture::Category::NumericEdited)
        return NumberDecoder::zoned(bytes, item, m_text.ebcdic(), out);
    std::string shown;
    if (!m_text.text(bytes, shown) || shown.size() != item.picture->positions)
        return Reason::Edited;
    return NumberDecoder::edited(shown, item, out);
}

FieldValue FieldDecoder::floating(std::string_view bytes, std::string &out) const
{
    const double value =
        m_hexFloats ? NumberDecoder::hexFloat(bytes) : NumberDecoder::ieeeFloat(bytes);
    if (!std::isfinite(value))
        return {Kind::Null, Reason::None};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value);
    out.append(buffer, result.ptr);
    return {Kind::Number, Reason::None};
}
