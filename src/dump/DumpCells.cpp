#include "DumpCells.h"

#include "CodePageDecoder.h"
#include "Glyph.h"
#include "RecordDump.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::size_t utf8Length(unsigned char first)
{
    if (first < 0x80)
        return 1;
    if (first >= 0xF0)
        return 4;
    if (first >= 0xE0)
        return 3;
    return first >= 0xC0 ? 2 : 0;
}

char32_t codePoint(std::string_view sequence)
{
    static constexpr unsigned char kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = static_cast<unsigned char>(sequence[0]) & kLeadMasks[sequence.size()];
    for (std::size_t i = 1; i < sequence.size(); ++i)
        value = (value << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    return value;
}

// Narrow as in a double-byte code page: the scripts before Hangul Jamo and the half-width forms.
std::uint8_t widthOf(char32_t character)
{
    const bool halfWidthForm = (character >= 0xFF61 && character <= 0xFFDC) ||
                               (character >= 0xFFE8 && character <= 0xFFEE);
    return character < 0x1100 || halfWidthForm ? 1 : 2;
}

bool continuationBytes(std::string_view sequence)
{
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        if ((static_cast<unsigned char>(sequence[i]) & 0xC0) != 0x80)
            return false;
    }
    return true;
}

} // namespace

DumpCells::DumpCells(const CodePageDecoder &decoder) : m_decoder(decoder)
{}

std::vector<DumpCell> DumpCells::line(const RecordDump &dump, std::size_t index) const
{
    if (dump.kindOf(index) == RecordDump::LineKind::Characters)
        return dump.encoding().leadByteClasses() ? characterRow(dump.characters(index))
                                                 : unitRow(dump, index);
    return textRow(dump.line(index));
}

std::vector<DumpCell> DumpCells::characterRow(const std::vector<std::string_view> &row) const
{
    std::vector<DumpCell> cells;
    cells.reserve(row.size());
    for (const std::string_view character : row) {
        const auto width = static_cast<std::uint8_t>(character.size());
        if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80) {
            cells.push_back({std::string(character), width});
            continue;
        }
        // A lone lead byte, or one followed by a byte that is no trail byte, decodes to nothing.
        const std::string_view utf8 = m_decoder.glyph(character).utf8;
        cells.push_back({utf8.empty() ? kReplacement : std::string(utf8), width});
    }
    return cells;
}

std::vector<DumpCell> DumpCells::unitRow(const RecordDump &dump, std::size_t index)
{
    std::vector<DumpCell> cells = textRow(RecordDump::offsetField(RecordDump::blockOfLine(index)));
    const std::string_view bytes = dump.record().bytes;
    for (const RecordDump::RowUnit &unit : dump.rowUnits(index)) {
        if (unit.continued) {
            cells.push_back({" ", 1});
            continue;
        }
        const Glyph glyph =
            dump.encoding().glyph(bytes.substr(unit.offset, unit.length), unit.state);
        if (unit.kind != UnitKind::Character || !glyph.printable() || glyph.width > unit.length) {
            cells.insert(cells.end(), unit.length, DumpCell{".", 1});
            continue;
        }
        cells.push_back({std::string(glyph.utf8), glyph.width});
        cells.insert(cells.end(), unit.length - glyph.width, DumpCell{" ", 1});
    }
    return cells;
}

std::vector<DumpCell> DumpCells::textRow(std::string_view utf8)
{
    std::vector<DumpCell> cells;
    cells.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t length = utf8Length(static_cast<unsigned char>(utf8[i]));
        const std::string_view sequence = utf8.substr(i, length);
        if (length == 0 || sequence.size() < length || !continuationBytes(sequence)) {
            cells.push_back({kReplacement, 1});
            ++i;
            continue;
        }
        cells.push_back({std::string(sequence), widthOf(codePoint(sequence))});
        i += length;
    }
    return cells;
}
