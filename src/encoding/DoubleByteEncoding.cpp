#include "DoubleByteEncoding.h"

DoubleByteEncoding::DoubleByteEncoding(std::string name, const std::string &charset,
                                       const Layout &layout)
    : EncodingBase(std::move(name), GlyphTable::forCharset(charset)),
      m_singles(setOf(layout.singles)), m_leads(setOf(layout.leads)), m_trails(setOf(layout.trails))
{}

Unit DoubleByteEncoding::cut(std::string_view record, std::size_t at, ShiftState &) const
{
    const auto first = static_cast<std::uint8_t>(record[at]);
    if (m_singles[first])
        return {1, UnitKind::Character};
    if (m_leads[first] && at + 1 < record.size() &&
        m_trails[static_cast<std::uint8_t>(record[at + 1])])
        return {2, UnitKind::Character};
    return {1, UnitKind::IllFormed};
}

DoubleByteEncoding::ByteSet DoubleByteEncoding::setOf(const std::vector<Range> &ranges)
{
    ByteSet set;
    for (const Range &range : ranges) {
        for (unsigned byte = range.low; byte <= range.high; ++byte)
            set.set(byte);
    }
    return set;
}
