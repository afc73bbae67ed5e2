#pragma once

#include "Encoding.h"
#include "FieldCut.h"

#include <memory>
#include <vector>

// An encoding that cuts a record's bytes field by field, as its layout says: every field starts
// in single-byte mode, double-byte fields are pairs with no SO or SI, and the bytes of packed,
// binary and float fields stand one by one, never starting or ending a shift state. Bytes
// that no field holds are cut by the encoding's own rules.
class LaidOutEncoding : public Encoding
{
public:
    // cuts: by offset, none overlapping another.
    LaidOutEncoding(std::shared_ptr<const Encoding> base, const std::vector<FieldCut> &cuts);

    Unit unitAt(std::string_view record, std::size_t at, ShiftState &state) const override;
    UnitStart advance(std::string_view record, UnitStart from, std::size_t target) const override;
    std::optional<UnitStart> startNear(std::string_view record, std::size_t at) const override;
    void forEachMark(std::string_view record, const MarkSink &sink) const override;
    Glyph glyph(std::string_view unit, ShiftState state) const override;

private:
    struct Span
    {
        std::size_t offset;
        std::size_t end;
        FieldCut::Kind kind;
    };

    const Span &spanHolding(std::size_t at) const;
    // The state before a span's first unit: its fields start in single-byte mode.
    static ShiftState entryState(const Span &span);
    // The state after the last unit of span: the next one's entry state.
    ShiftState stateAfter(const Span &span) const;
    Unit doubleByteUnit(std::string_view record, std::size_t at, std::size_t end) const;

    std::shared_ptr<const Encoding> m_base;
    std::shared_ptr<const Encoding> m_doubleByte; // under the EBCDIC pages
    std::vector<Span> m_spans;                    // from 0 on, the last to no end
};
