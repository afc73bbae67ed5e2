#pragma once

#include "ByteClasses.h"
#include "Encoding.h"
#include "GlyphTable.h"
#include "LeadByteScan.h"

#include <bitset>
#include <memory>
#include <mutex>
#include <optional>

// A Windows code page by the lead-byte rules of the locale's classification: a lead byte and
// whatever byte follows it make one character. Shift_JIS (932) and the locale's code page are
// such; so the dump under them stays what it always was. A lead byte that ends the record, or
// whose trail byte lies outside the page's trail ranges, is ill-formed, yet still shown.
class LeadByteEncoding : public Encoding
{
public:
    // codePage: the page whose converter decodes the characters; nothing for none.
    LeadByteEncoding(std::string name, const ByteClasses &classes, std::optional<int> codePage);

    Unit unitAt(std::string_view record, std::size_t at, ShiftState &state) const override;
    UnitStart advance(std::string_view record, UnitStart from, std::size_t target) const override;
    void forEachMark(std::string_view record, const MarkSink &sink) const override;
    // A lead byte takes CR or LF in as its trail byte, which is marked but for a page of no
    // trail ranges.
    bool marksLinesAsOne() const override { return !m_trails['\r'] && !m_trails['\n']; }
    // Its marks need the byte classes and the scan alone, which is made once, not the glyphs.
    bool marksOnManyThreads() const override { return true; }
    Glyph glyph(std::string_view unit, ShiftState state) const override;
    const ByteClasses *leadByteClasses() const override { return &m_classes; }
    std::optional<int> windowsCodePage() const override { return m_codePage; }

private:
    bool isLead(std::uint8_t byte) const
    {
        return m_classes.multibyte() && m_classes.inLeadSet(byte);
    }
    // Made on first use, on any thread: it decodes every unit, which start-up need not wait for.
    const LeadByteScan &scan() const;
    LeadByteScan decodedScan() const;
    Mark markAt(std::string_view record, std::size_t at) const;

    ByteClasses m_classes;
    std::bitset<256> m_trails;
    std::optional<int> m_codePage;
    std::optional<GlyphTable> m_glyphs;
    mutable std::once_flag m_scanOnce;
    mutable std::unique_ptr<const LeadByteScan> m_scan;
};
