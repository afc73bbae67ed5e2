#pragma once

#include "AsciiRun.h"
#include "Encoding.h"
#include "GlyphTable.h"

#include <cstdint>

// The loops over units for an encoding that cuts them with
//     Unit cut(std::string_view record, std::size_t at, ShiftState &state) const;
// and decodes its characters through a glyph table; one that knows better may hide mapped().
// An encoding in which a byte below 0x80 in state 0 is always a character of its own sets
// kAsciiCompatible, and runs of such bytes are passed over eight at a time.
template <class Derived> class EncodingBase : public Encoding
{
public:
    EncodingBase(std::string name, GlyphTable glyphs)
        : Encoding(std::move(name)), m_glyphs(std::move(glyphs))
    {}

    Glyph glyph(std::string_view unit, ShiftState state) const override
    {
        return m_glyphs.glyph(unit, state);
    }

    Unit unitAt(std::string_view record, std::size_t at, ShiftState &state) const override
    {
        return derived().cut(record, at, state);
    }

    // An encoding whose bytes of some values can never go on with a unit begun before them
    // says so with bool beginsUnit(std::uint8_t) const; the last such byte before at is a
    // unit start, found without a cut from the record's first byte.
    std::optional<UnitStart> startNear(std::string_view record, std::size_t at) const override
    {
        if constexpr (requires(const Derived &d) { d.beginsUnit(std::uint8_t{}); }) {
            constexpr std::size_t kLookBack = 256;
            const std::size_t earliest = at > kLookBack ? at - kLookBack : 0;
            for (std::size_t i = at + 1; i-- > earliest;) {
                if (derived().beginsUnit(static_cast<std::uint8_t>(record[i])))
                    return UnitStart{i, 0};
            }
        }
        return std::nullopt;
    }

    UnitStart advance(std::string_view record, UnitStart from, std::size_t target) const override
    {
        while (from.offset < target && from.offset < record.size())
            from.offset += derived().cut(record, from.offset, from.state).length;
        return from;
    }

    void forEachMark(std::string_view record, const MarkSink &sink) const override
    {
        ShiftState state = 0;
        std::size_t at = 0;
        while (at < record.size()) {
            if (Derived::kAsciiCompatible && state == 0) {
                at = AsciiRun::end(record, at);
                if (at == record.size())
                    break;
            }
            const ShiftState before = state;
            const Unit unit = derived().cut(record, at, state);
            if (unit.kind == UnitKind::IllFormed)
                sink({at, unit.length, Mark::Kind::IllFormed});
            else if (unit.kind == UnitKind::Shift)
                sink({at, unit.length, Mark::Kind::Shift});
            else if (!derived().mapped(record.substr(at, unit.length), before))
                sink({at, unit.length, Mark::Kind::Unmapped});
            at += unit.length;
        }
    }

    // The ASCII-compatible ones have no shift codes, and CR and LF stand alone in them.
    bool marksLinesAsOne() const override { return Derived::kAsciiCompatible; }

    bool mapped(std::string_view unit, ShiftState state) const
    {
        return m_glyphs.mapped(unit, state);
    }

private:
    const Derived &derived() const { return static_cast<const Derived &>(*this); }

    GlyphTable m_glyphs;
};
