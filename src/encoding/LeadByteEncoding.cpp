#include "LeadByteEncoding.h"

#include "CharacterConverter.h"

#include <vector>

namespace {

struct Range
{
    unsigned low;
    unsigned high;
};

// The trail bytes each double-byte Windows code page publishes.
std::bitset<256> trailsOf(std::optional<int> codePage)
{
    std::vector<Range> ranges{{0x00, 0xFF}};
    switch (codePage.value_or(0)) {
    case 932:
        ranges = {{0x40, 0x7E}, {0x80, 0xFC}};
        break;
    case 936:
        ranges = {{0x40, 0x7E}, {0x80, 0xFE}};
        break;
    case 949:
        ranges = {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}};
        break;
    case 950:
        ranges = {{0x40, 0x7E}, {0xA1, 0xFE}};
        break;
    }
    std::bitset<256> trails;
    for (const Range &range : ranges) {
        for (unsigned byte = range.low; byte <= range.high; ++byte)
            trails.set(byte);
    }
    return trails;
}

std::string charsetOf(int codePage)
{
    return "CP" + std::to_string(codePage);
}

} // namespace

LeadByteEncoding::LeadByteEncoding(std::string name, const ByteClasses &classes,
                                   std::optional<int> codePage)
    : Encoding(std::move(name)), m_classes(classes), m_trails(trailsOf(codePage)),
      m_codePage(codePage)
{
    if (codePage)
        m_glyphs = GlyphTable::forCharset(charsetOf(*codePage));
}

Unit LeadByteEncoding::unitAt(std::string_view record, std::size_t at, ShiftState &) const
{
    if (!isLead(static_cast<std::uint8_t>(record[at])))
        return {1, UnitKind::Character};
    if (at + 1 == record.size())
        return {1, UnitKind::IllFormed};
    const bool trail = m_trails[static_cast<std::uint8_t>(record[at + 1])];
    return {2, trail ? UnitKind::Character : UnitKind::IllFormed};
}

UnitStart LeadByteEncoding::advance(std::string_view record, UnitStart from,
                                    std::size_t target) const
{
    // A lead byte that ends the record is a unit of one byte, as unitAt cuts it.
    while (from.offset < target && from.offset < record.size()) {
        const std::size_t at = from.offset;
        const bool pair = isLead(static_cast<std::uint8_t>(record[at])) && at + 1 < record.size();
        from.offset += pair ? 2 : 1;
    }
    return from;
}

void LeadByteEncoding::forEachMark(std::string_view record, const MarkSink &sink) const
{
    scan().forEachMarkedStart(record, [&](std::size_t at) { sink(markAt(record, at)); });
}

Glyph LeadByteEncoding::glyph(std::string_view unit, ShiftState state) const
{
    // Without a converter there is nothing to tell, and nothing to mark.
    return m_glyphs ? m_glyphs->glyph(unit, state) : Glyph{{}, 0, true};
}

// The mark of the unit at record[at], which the unit table marks.
Mark LeadByteEncoding::markAt(std::string_view record, std::size_t at) const
{
    ShiftState state = 0;
    const Unit unit = unitAt(record, at, state);
    return {at, unit.length,
            unit.kind == UnitKind::IllFormed ? Mark::Kind::IllFormed : Mark::Kind::Unmapped};
}

const LeadByteScan &LeadByteEncoding::scan() const
{
    std::call_once(m_scanOnce,
                   [this] { m_scan = std::make_unique<const LeadByteScan>(decodedScan()); });
    return *m_scan;
}

// By a converter of its own: the glyph table is not for two threads at once. Without a code
// page nothing is unmapped, as there is nothing to tell.
LeadByteScan LeadByteEncoding::decodedScan() const
{
    std::optional<CharacterConverter> converter;
    if (m_codePage)
        converter.emplace(charsetOf(*m_codePage));
    const auto unmapped = [&converter](std::string_view unit) {
        return converter && !converter->decode(unit);
    };
    std::bitset<256> leads;
    std::bitset<256 * 256> marked;
    for (unsigned first = 0; first < 256; ++first) {
        const auto byte = static_cast<char>(first);
        leads[first] = isLead(static_cast<std::uint8_t>(first));
        const bool single = !leads[first] && first >= 0x80 && unmapped({&byte, 1});
        for (unsigned next = 0; next < 256; ++next) {
            const char pair[2] = {byte, static_cast<char>(next)};
            marked[first << 8 | next] =
                leads[first] ? !m_trails[next] || unmapped({pair, 2}) : single;
        }
    }
    return LeadByteScan(leads, m_trails, marked);
}
