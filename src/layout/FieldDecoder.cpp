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

// Whether the item's numbers have a point within their digits, as short decimals write them.
bool pointWithin(const Item &item)
{
    return item.picture->scale >= 0 && item.picture->scale <= item.picture->digits;
}

} // namespace

FieldDecoder::FieldDecoder(std::shared_ptr<const Encoding> encoding, Options options)
    : m_text(std::move(encoding)), m_options(options),
      m_hexFloats(options.floats == Options::Floats::Hex ||
                  (options.floats == Options::Floats::ByEncoding && m_text.ebcdic()))
{}

FieldDecoder::Method FieldDecoder::methodOf(const Item &item, std::size_t length)
{
    switch (item.usage) {
    case Usage::Comp1:
    case Usage::Comp2:
        return Method::Floating;
    case Usage::Index:
    case Usage::Pointer:
        return Method::Hex;
    case Usage::CompX:
        return length > kMostBinary ? Method::Hex : Method::Binary;
    case Usage::Display1:
    case Usage::National:
        return Method::Text;
    case Usage::Packed:
        return Method::Packed;
    case Usage::Binary:
    case Usage::Comp5:
        return Method::Binary;
    case Usage::Display:
        break;
    }
    switch (item.picture->category) {
    case Picture::Category::Alphanumeric:
    case Picture::Category::DoubleByte:
        return Method::Text;
    case Picture::Category::NumericEdited:
        return Method::Edited;
    case Picture::Category::Numeric:
        break;
    }
    return Method::Zoned;
}

FieldValue FieldDecoder::decode(std::string_view bytes, const Item &item, std::string &out) const
{
    switch (methodOf(item, bytes.size())) {
    case Method::Floating:
        return floating(bytes, out);
    case Method::Hex:
        HexDigits::append(bytes, out);
        return {Kind::Hex, Reason::None};
    case Method::Text:
        return text(bytes, item, out);
    default:
        return number(bytes, item, out);
    }
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
    case Usage::Comp5:
        return NumberDecoder::binary(bytes, item, littleEndian(item), out);
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
    char buffer[kMostFloat];
    const char *end = writeFloating(bytes, buffer);
    if (!end)
        return {Kind::Null, Reason::None};
    out.append(buffer, static_cast<std::size_t>(end - buffer));
    return {Kind::Number, Reason::None};
}

char *FieldDecoder::writePacked(std::string_view bytes, const Item &item, char *at) const
{
    ShortDecimal value;
    if (pointWithin(item) && NumberDecoder::shortPacked(bytes, item, value))
        return value.writeTo(at, static_cast<std::size_t>(item.picture->scale));
    return writeDecimal(bytes, item, at);
}

char *FieldDecoder::writeZoned(std::string_view bytes, const Item &item, char *at) const
{
    ShortDecimal value;
    if (m_text.ebcdic() && pointWithin(item) && NumberDecoder::shortEbcdicZoned(bytes, item, value))
        return value.writeTo(at, static_cast<std::size_t>(item.picture->scale));
    return writeDecimal(bytes, item, at);
}

char *FieldDecoder::writeBinary(std::string_view bytes, const Item &item, char *at) const
{
    constexpr std::uint64_t kShort = 10'000'000'000'000'000; // 10^16
    const int scale = NumberDecoder::binaryScale(item);
    NumberDecoder::BinaryValue value;
    if (scale >= 0 && scale <= int{ShortDecimal::kMostDigits} &&
        NumberDecoder::binary(bytes, item, littleEndian(item), value) == Reason::None &&
        value.magnitude < kShort)
        return ShortDecimal::ofMagnitude(static_cast<std::uint64_t>(value.magnitude),
                                         value.negative)
            .writeTo(at, static_cast<std::size_t>(scale));
    return writeDecimal(bytes, item, at);
}

bool FieldDecoder::littleEndian(const Item &item) const
{
    return item.usage == Usage::Comp5 && m_options.littleEndianComp5;
}

// The longer way, for what the short ones do not take; invalid values come here too.
char *FieldDecoder::writeDecimal(std::string_view bytes, const Item &item, char *at) const
{
    Decimal value;
    if (decimal(bytes, item, value) != Reason::None)
        return nullptr;
    return value.writeTo(at);
}

char *FieldDecoder::writeFloating(std::string_view bytes, char *at) const
{
    const double value =
        m_hexFloats ? NumberDecoder::hexFloat(bytes) : NumberDecoder::ieeeFloat(bytes);
    if (!std::isfinite(value))
        return nullptr;
    return std::to_chars(at, at + kMostFloat, value == 0 ? 0.0 : value).ptr;
}
