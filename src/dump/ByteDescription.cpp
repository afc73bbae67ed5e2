#include "ByteDescription.h"

#include "RecordDump.h"
#include "Utf8.h"

#include <cstdio>

namespace {

std::string hexOf(std::string_view bytes)
{
    std::string text;
    for (const char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ",
                      static_cast<unsigned>(static_cast<std::uint8_t>(byte)));
        text += digits;
    }
    return text;
}

std::string codePointsOf(std::string_view utf8)
{
    std::string text;
    for (const char32_t c : Utf8::codePoints(utf8)) {
        char digits[12];
        std::snprintf(digits, sizeof digits, "%sU+%04X", text.empty() ? "" : " ",
                      static_cast<unsigned>(c));
        text += digits;
    }
    return text;
}

std::string unitWords(const RecordDump &dump, const RecordDump::RowUnit &unit)
{
    const std::string_view bytes = dump.record().bytes.substr(unit.offset, unit.length);
    // Built by append: GCC 12 at -O3 takes "(" + a temporary for an overlapping copy.
    std::string hex(1, '(');
    hex += hexOf(bytes);
    hex += ')';
    switch (unit.kind) {
    case UnitKind::IllFormed:
        return "ill-formed " + hex;
    case UnitKind::Shift:
        return std::string(bytes[0] == 0x0E ? "shift out (SO) " : "shift in (SI) ") + hex;
    case UnitKind::Character:
        break;
    }
    const Glyph glyph = dump.encoding().glyph(bytes, unit.state);
    if (!glyph.mapped)
        return "unmapped " + hex;
    const std::string shown = glyph.printable() ? std::string(glyph.utf8) + " " : "";
    return shown + codePointsOf(glyph.utf8) + " " + hex;
}

} // namespace

std::string ByteDescription::of(const RecordDump &dump, std::uint64_t offset)
{
    const auto byte = static_cast<std::uint8_t>(dump.record().bytes[offset]);
    char head[64];
    std::snprintf(head, sizeof head, "Offset %llu  0x%02X  ",
                  static_cast<unsigned long long>(offset), static_cast<unsigned>(byte));
    return head + unitWords(dump, dump.unitHolding(offset)) + "  " + dump.encoding().name();
}
