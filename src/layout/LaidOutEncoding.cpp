#include "LaidOutEncoding.h"

#include "TextDecoder.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t kNoEnd = std::numeric_limits<std::size_t>::max();
constexpr ShiftState kBaseDoubleByte = 1; // of the EBCDIC pages
constexpr std::size_t kNearBytes = 256;

} // namespace

LaidOutEncoding::LaidOutEncoding(std::shared_ptr<const Encoding> base,
                                 const std::vector<FieldCut> &cuts)
    : Encoding(base->name()), m_base(std::move(base)),
      m_doubleByte(TextDecoder::doubleByteHalfOf(*m_base))
{
    std::size_t covered = 0;
    for (const FieldCut &cut : cuts) {
        if (cut.offset < covered || cut.length == 0)
            continue;
        if (cut.offset > covered)
            m_spans.push_back({covered, cut.offset, FieldCut::Kind::Text});
        const FieldCut::Kind kind = cut.kind == FieldCut::Kind::DoubleByte && !m_doubleByte
                                        ? FieldCut::Kind::Text
                                        : cut.kind;
        m_spans.push_back({cut.offset, cut.offset + cut.length, kind});
        covered = cut.offset + cut.length;
    }
    m_spans.push_back({covered, kNoEnd, FieldCut::Kind::Text});
}

const LaidOutEncoding::Span &LaidOutEncoding::spanHolding(std::size_t at) const
{
    const auto after = std::ranges::upper_bound(m_spans, at, {}, &Span::offset);
    return *std::prev(after);
}

ShiftState LaidOutEncoding::entryState(const Span &span)
{
    return span.kind == FieldCut::Kind::DoubleByte ? kBaseDoubleByte : ShiftState{0};
}

ShiftState LaidOutEncoding::stateAfter(const Span &span) const
{
    return span.end == kNoEnd ? ShiftState{0} : entryState(spanHolding(span.end));
}

Unit LaidOutEncoding::unitAt(std::string_view record, std::size_t at, ShiftState &state) const
{
    const Span &span = spanHolding(at);
    const std::size_t end = std::min(span.end, record.size());
    state = at == span.offset ? entryState(span) : state;
    Unit unit{1, UnitKind::Character};
    if (span.kind == FieldCut::Kind::DoubleByte)
        unit = doubleByteUnit(record, at, end);
    else if (span.kind == FieldCut::Kind::Text)
        unit = m_base->unitAt(record.substr(0, end), at, state);
    if (at + unit.length >= span.end)
        state = stateAfter(span);
    return unit;
}

Unit LaidOutEncoding::doubleByteUnit(std::string_view record, std::size_t at, std::size_t end) const
{
    if (end - at < 2)
        return {1, UnitKind::IllFormed};
    ShiftState state = kBaseDoubleByte;
    const Unit unit = m_doubleByte->unitAt(record.substr(0, end), at, state);
    // Pairs from the field's start, whatever they hold: SO or SI among them is no shift.
    if (unit.kind != UnitKind::Character || unit.length != 2 || state != kBaseDoubleByte)
        return {2, UnitKind::IllFormed};
    return unit;
}

UnitStart LaidOutEncoding::advance(std::string_view record, UnitStart from,
                                   std::size_t target) const
{
    while (from.offset < target && from.offset < record.size()) {
        const Span &span = spanHolding(from.offset);
        const std::size_t end = std::min(span.end, record.size());
        if (target >= end) {
            from = {end, stateAfter(span)};
            continue;
        }
        switch (span.kind) {
        case FieldCut::Kind::Opaque:
            return {target, 0};
        case FieldCut::Kind::DoubleByte: {
            // Pairs from the field's start: the first start at or after target.
            const std::size_t start = span.offset + (target - span.offset + 1) / 2 * 2;
            if (start < end)
                return {start, kBaseDoubleByte};
            from = {end, stateAfter(span)};
            continue;
        }
        case FieldCut::Kind::Text:
            break;
        }
        return m_base->advance(record.substr(0, end), from, target);
    }
    return from;
}

std::optional<UnitStart> LaidOutEncoding::startNear(std::string_view record, std::size_t at) const
{
    const Span &span = spanHolding(at);
    switch (span.kind) {
    case FieldCut::Kind::Opaque:
        return UnitStart{at, 0};
    case FieldCut::Kind::DoubleByte:
        return UnitStart{span.offset + (at - span.offset) / 2 * 2, kBaseDoubleByte};
    case FieldCut::Kind::Text:
        break;
    }
    if (at - span.offset <= kNearBytes)
        return UnitStart{span.offset, 0};
    const std::size_t end = std::min(span.end, record.size());
    std::optional<UnitStart> start = m_base->startNear(record.substr(0, end), at);
    if (start && start->offset < span.offset)
        start = UnitStart{span.offset, 0};
    return start;
}

void LaidOutEncoding::forEachMark(std::string_view record, const MarkSink &sink) const
{
    for (const Span &span : m_spans) {
        if (span.offset >= record.size())
            break;
        const std::size_t end = std::min(span.end, record.size());
        if (span.kind == FieldCut::Kind::Text) {
            m_base->forEachMark(record.substr(span.offset, end - span.offset),
                                [&sink, &span](const Mark &mark) {
                                    sink({mark.offset + span.offset, mark.length, mark.kind});
                                });
            continue;
        }
        if (span.kind != FieldCut::Kind::DoubleByte)
            continue;
        for (std::size_t at = span.offset; at < end;) {
            const Unit unit = doubleByteUnit(record, at, end);
            if (unit.kind != UnitKind::Character)
                sink({at, unit.length, Mark::Kind::IllFormed});
            else if (!glyph(record.substr(at, unit.length), kBaseDoubleByte).mapped)
                sink({at, unit.length, Mark::Kind::Unmapped});
            at += unit.length;
        }
    }
}

// Under the EBCDIC pages only double-byte characters have two bytes, so a pair is read by the
// double-byte half whatever state the caller began the record in.
Glyph LaidOutEncoding::glyph(std::string_view unit, ShiftState state) const
{
    if (m_doubleByte && unit.size() == 2)
        return m_doubleByte->glyph(unit, kBaseDoubleByte);
    return m_base->glyph(unit, state);
}
