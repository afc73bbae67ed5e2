#pragma once

#include "Glyph.h"
#include "Mark.h"
#include "Unit.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class ByteClasses;

// A character set as the dump sees it: how a record's bytes are cut into units, from the
// record's first byte on, and what each character unit decodes to.
class Encoding
{
public:
    explicit Encoding(std::string name) : m_name(std::move(name)) {}
    virtual ~Encoding() = default;
    Encoding(const Encoding &) = delete;
    Encoding &operator=(const Encoding &) = delete;

    // As the user picks it: "UTF-8", "Shift_JIS", "Windows-1252 (locale)".
    const std::string &name() const { return m_name; }

    // The unit that begins at record[at] (at below the size) in state, which becomes the
    // state after it.
    virtual Unit unitAt(std::string_view record, std::size_t at, ShiftState &state) const = 0;
    // From the unit start from, the first unit start at or after target, or the record's end.
    virtual UnitStart advance(std::string_view record, UnitStart from,
                              std::size_t target) const = 0;
    // A unit start at most 256 bytes before at, where the bytes near it tell it alone;
    // nothing where only a cut from an earlier start can.
    virtual std::optional<UnitStart> startNear(std::string_view record, std::size_t at) const;
    // Calls sink for every ill-formed, unmapped and shift unit of record, in order.
    virtual void forEachMark(std::string_view record, const MarkSink &sink) const = 0;
    // Whether forEachMark over many lines at once marks what it marks in each line alone, but
    // for a marked unit that runs on into its line end: no state passes from unit to unit,
    // and CR or LF goes on with no unit that is not marked.
    virtual bool marksLinesAsOne() const { return false; }
    // Whether forEachMark may run on several threads at once.
    virtual bool marksOnManyThreads() const { return false; }
    // The decoded form of a character unit.
    virtual Glyph glyph(std::string_view unit, ShiftState state) const = 0;
    // The lead-byte code pages keep their own dump rules: lead and trail bytes always stand as
    // themselves, single bytes by the printable range. Nothing for the other encodings.
    virtual const ByteClasses *leadByteClasses() const { return nullptr; }
    // The Windows code page of such an encoding, whose decoder draws its characters.
    virtual std::optional<int> windowsCodePage() const { return std::nullopt; }

private:
    std::string m_name;
};
