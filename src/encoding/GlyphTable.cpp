#include "GlyphTable.h"

#include "CharacterConverter.h"
#include "CharacterProperties.h"
#include "Utf8Writer.h"

#include <memory>
#include <utility>

namespace {

constexpr std::size_t kShortPerState = 256 + 256 * 256;

std::size_t shortIndex(std::string_view unit, ShiftState state)
{
    const auto byte = [&unit](std::size_t i) {
        return std::size_t{std::uint8_t(unit[i])};
    };
    const std::size_t index = unit.size() == 1 ? byte(0) : 256 + byte(0) * 256 + byte(1);
    return state * kShortPerState + index;
}

std::uint64_t longKey(std::string_view unit, ShiftState state)
{
    std::uint64_t key = std::uint64_t{state} << 40 | std::uint64_t{unit.size()} << 32;
    for (std::size_t i = 0; i < unit.size(); ++i)
        key |= std::uint64_t{std::uint8_t(unit[i])} << (8 * i);
    return key;
}

} // namespace

GlyphTable::GlyphTable(Decoder decoder) : m_decoder(std::move(decoder))
{}

GlyphTable GlyphTable::forCharset(const std::string &charset)
{
    auto converter = std::make_shared<const CharacterConverter>(charset);
    return GlyphTable([converter](std::string_view unit, ShiftState state) {
        if (state == 0)
            return converter->decode(unit);
        // Built by append: GCC 12 at -O3 takes "\x0E" + unit for an overlapping copy.
        std::string shifted(1, '\x0E');
        shifted.append(unit);
        return converter->decode(shifted);
    });
}

Glyph GlyphTable::glyph(std::string_view unit, ShiftState state) const
{
    std::uint32_t &slot = slotOf(unit, state);
    const std::uint32_t number = slot != 0 ? slot : decodeInto(slot, unit, state);
    const Entry &entry = m_entries[(number & ~kMappedBit) - 1];
    return {entry.utf8, entry.width, entry.mapped};
}

bool GlyphTable::mapped(std::string_view unit, ShiftState state) const
{
    std::uint32_t &slot = slotOf(unit, state);
    return ((slot != 0 ? slot : decodeInto(slot, unit, state)) & kMappedBit) != 0;
}

std::uint32_t &GlyphTable::slotOf(std::string_view unit, ShiftState state) const
{
    if (unit.size() > 2 || state > 1)
        return m_long[longKey(unit, state)];
    if (m_short.empty())
        m_short.resize(2 * kShortPerState);
    return m_short[shortIndex(unit, state)];
}

std::uint32_t GlyphTable::decodeInto(std::uint32_t &slot, std::string_view unit,
                                     ShiftState state) const
{
    Entry entry;
    if (const std::optional<std::u32string> codePoints = m_decoder(unit, state)) {
        entry.mapped = true;
        for (const char32_t c : *codePoints)
            Utf8Writer::append(entry.utf8, c);
        if (codePoints->size() == 1)
            entry.width = CharacterProperties::printableWidth(codePoints->front());
    }
    const bool mapped = entry.mapped;
    m_entries.push_back(std::move(entry));
    slot = static_cast<std::uint32_t>(m_entries.size()) | (mapped ? kMappedBit : 0);
    return slot;
}
