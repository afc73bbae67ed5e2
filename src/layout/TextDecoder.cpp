#include "TextDecoder.h"

#include "Encoding.h"
#include "EncodingCatalog.h"
#include "SingleByteEncoding.h"
#include "Utf8Writer.h"

#include <algorithm>

namespace {

constexpr ShiftState kDoubleByteState = 1;

} // namespace

TextDecoder::TextDecoder(std::shared_ptr<const Encoding> encoding)
    : m_encoding(std::move(encoding)), m_utf16("UTF-16BE")
{
    m_doubleByte = doubleByteHalfOf(*m_encoding);
    m_ebcdic = m_doubleByte != nullptr;
    m_singleByte = dynamic_cast<const SingleByteEncoding *>(m_encoding.get()) != nullptr;
    if (!m_singleByte)
        return;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char unit = static_cast<char>(byte);
        const Glyph glyph = m_encoding->glyph(std::string_view(&unit, 1), 0);
        Single &single = m_singles[byte];
        single.mapped = glyph.mapped && glyph.utf8.size() <= single.utf8.size();
        single.length = single.mapped ? static_cast<std::uint8_t>(glyph.utf8.size()) : 0;
        std::copy(glyph.utf8.begin(), glyph.utf8.begin() + single.length, single.utf8.begin());
    }
}

std::shared_ptr<const Encoding> TextDecoder::doubleByteHalfOf(const Encoding &encoding)
{
    const EncodingCatalog::Entry *entry = EncodingCatalog::find(encoding.name());
    if (!entry || entry->group != "EBCDIC")
        return nullptr;
    const bool page930 = entry->name == "IBM-290" || entry->name == "IBM-930";
    return EncodingCatalog::make(page930 ? "IBM-930" : "IBM-939");
}

bool TextDecoder::text(std::string_view bytes, std::string &out) const
{
    if (m_singleByte) {
        // Room for the longest first, written in place: an append a character is slow.
        const std::size_t start = out.size();
        out.resize(start + bytes.size() * 4);
        char *at = out.data() + start;
        for (const char byte : bytes) {
            const Single &single = m_singles[static_cast<std::uint8_t>(byte)];
            if (!single.mapped) {
                out.resize(start);
                return false;
            }
            at = std::copy_n(single.utf8.data(), single.length, at);
        }
        out.resize(static_cast<std::size_t>(at - out.data()));
        return true;
    }
    ShiftState state = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const ShiftState before = state;
        const Unit unit = m_encoding->unitAt(bytes, at, state);
        const std::string_view piece = bytes.substr(at, unit.length);
        at += unit.length;
        if (unit.kind == UnitKind::Shift)
            continue;
        const Glyph glyph = m_encoding->glyph(piece, before);
        if (unit.kind == UnitKind::IllFormed || !glyph.mapped)
            return false;
        out += glyph.utf8;
    }
    return true;
}

bool TextDecoder::doubleByte(std::string_view bytes, std::string &out) const
{
    if (!m_ebcdic)
        return text(bytes, out);
    if (bytes.size() % 2 != 0)
        return false;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const Glyph glyph = m_doubleByte->glyph(bytes.substr(at, 2), kDoubleByteState);
        if (!glyph.mapped)
            return false;
        out += glyph.utf8;
    }
    return true;
}

bool TextDecoder::national(std::string_view bytes, std::string &out) const
{
    const std::optional<std::u32string> decoded = m_utf16.decode(bytes);
    if (!decoded)
        return false;
    for (const char32_t c : *decoded)
        Utf8Writer::append(out, c);
    return true;
}
