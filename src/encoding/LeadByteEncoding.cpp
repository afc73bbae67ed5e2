#include "LeadByteEncoding.h"

#include "AsciiRun.h"

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

} // namespace

LeadByteEncoding::LeadByteEncoding(std::string name, const ByteClasses &classes,
                                   std::optional<int> codePage)
    : Encoding(std::move(name)), m_classes(classes), m_trails(trailsOf(codePage)),
      m_codePage(codePage)
{
    if (codePage)
        m_glyphs = GlyphTable::forCharset("CP" + std::to_string(*codePage));
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

// Bytes below 0x80 are never lead bytes and always map, so runs of them are passed over.
void LeadByteEncoding::forEachMark(std::string_view record, const MarkSink &sink) const
{
    std::size_t at = 0;
    while ((at = AsciiRun::end(record, at)) < record.size()) {
        ShiftState state = 0;
        const Unit unit = unitAt(record, at, state);
        if (unit.kind == UnitKind::IllFormed)
            sink({at, unit.length, Mark::Kind::IllFormed});
        else if (!mapped(record.substr(at, unit.length)))
            sink({at, unit.length, Mark::Kind::Unmapped});
        at += unit.length;
    }
}

Glyph LeadByteEncoding::glyph(std::string_view unit, ShiftState state) const
{
    // Without a converter there is nothing to tell, and nothing to mark.
    return m_glyphs ? m_glyphs->glyph(unit, state) : Glyph{{}, 0, true};
}

bool LeadByteEncoding::mapped(std::string_view unit) const
{
    return !m_glyphs || m_glyphs->mapped(unit, 0);
}
