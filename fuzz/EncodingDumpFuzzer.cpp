// Dumps a record under an encoding of the catalog, chosen by the input's first byte, and
// checks the dump against a plain cut of the record into units from its first byte: the whole
// text, each character row's characters and units, the unit holding each byte, the marks.
#include "Encoding.h"
#include "EncodingCatalog.h"
#include "RecordDump.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kBlock = 100;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Made once: their glyph tables fill up over the run as they would in a long session.
const std::vector<std::shared_ptr<const Encoding>> &encodings()
{
    static const auto made = [] {
        std::vector<std::shared_ptr<const Encoding>> all;
        for (const auto &entry : EncodingCatalog::entries())
            all.push_back(entry.make());
        return all;
    }();
    return made;
}

struct Reference
{
    std::vector<std::string> rows;
    std::vector<std::vector<RecordDump::RowUnit>> units;
    std::vector<RecordDump::RowUnit> holders; // per byte
    std::vector<std::size_t> pieces;          // per block: how many characters() holds
    std::vector<Mark> marks;
};

Reference referenceOf(const Encoding &encoding, std::string_view record)
{
    const ByteClasses *lead = encoding.leadByteClasses();
    const auto shown = [&](std::string_view unit, UnitKind kind, ShiftState state) {
        if (!lead)
            return kind == UnitKind::Character && encoding.glyph(unit, state).printable();
        const auto byte = static_cast<std::uint8_t>(unit[0]);
        return unit.size() == 2 || (lead->multibyte() && lead->inLeadSet(byte)) ||
               (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
    };
    Reference ref;
    const std::size_t blocks = (record.size() + kBlock - 1) / kBlock;
    ref.units.resize(blocks);
    for (std::size_t block = 0; block < blocks; ++block) {
        ref.rows.push_back(RecordDump::offsetField(block));
        ref.pieces.push_back(ref.rows.back().size());
    }
    ShiftState state = 0;
    for (std::size_t at = 0; at < record.size();) {
        const ShiftState before = state;
        const Unit unit = encoding.unitAt(record, at, state);
        check(unit.length >= 1 && unit.length <= 4, "unit length");
        check(at + unit.length <= record.size(), "unit inside the record");
        check(unit.kind == UnitKind::Shift || before == state, "only shift codes shift");
        const std::string_view bytes = record.substr(at, unit.length);
        const std::size_t block = at / kBlock;
        const bool itself = shown(bytes, unit.kind, before);
        ref.rows[block] += itself ? std::string(bytes) : std::string(unit.length, '.');
        ref.pieces[block] += itself ? 1 : unit.length;
        ref.units[block].push_back({at, unit.length, false, unit.kind, before});
        for (std::size_t i = at; i < at + unit.length; ++i) {
            ref.holders.push_back({at, unit.length, false, unit.kind, before});
            if (i / kBlock != block) {
                ref.rows[i / kBlock] += ' ';
                ++ref.pieces[i / kBlock];
                ref.units[i / kBlock].push_back({i, 1, true, unit.kind, before});
            }
        }
        if (unit.kind == UnitKind::IllFormed)
            ref.marks.push_back({at, unit.length, Mark::Kind::IllFormed});
        else if (unit.kind == UnitKind::Shift)
            ref.marks.push_back({at, unit.length, Mark::Kind::Shift});
        else if (!encoding.glyph(bytes, before).mapped)
            ref.marks.push_back({at, unit.length, Mark::Kind::Unmapped});
        at += unit.length;
    }
    return ref;
}

std::string digitRow(std::string_view bytes, int shift)
{
    std::string row = "      |";
    for (const char byte : bytes)
        row += "0123456789ABCDEF"[(static_cast<std::uint8_t>(byte) >> shift) & 0x0F];
    return row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto &all = encodings();
    const std::shared_ptr<const Encoding> &encoding = all[data[0] % all.size()];
    auto file =
        std::make_shared<const std::string>(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string_view record = *file;
    const DumpHeader header{"/fuzz/file.txt", RecordDump::lengthLabel(record.size()), 1,
                            RecordDump::countLabel(1)};
    const RecordDump dump({file, record}, encoding, header);
    const Reference ref = referenceOf(*encoding, record);

    check(dump.blockCount() == ref.rows.size(), "block count");
    std::string text;
    for (std::size_t line = 0; line < 5; ++line)
        text += dump.line(line) + "\r\n";
    std::vector<Mark> marks;
    for (std::size_t block = 0; block < dump.blockCount(); ++block) {
        const std::string_view bytes = record.substr(block * kBlock, kBlock);
        const std::string ruler = dump.line(RecordDump::firstLineOfBlock(block) + 1);
        text += ref.rows[block] + "\r\n" + ruler + "\r\n" + digitRow(bytes, 4) + "\r\n" +
                digitRow(bytes, 0) + "\r\n\r\n";

        const std::size_t line = RecordDump::firstLineOfBlock(block);
        check(dump.rowUnits(line) == ref.units[block], "row units");
        const std::vector<std::string_view> characters = dump.characters(line);
        check(characters.size() == ref.pieces[block], "number of characters");
        std::string joined;
        for (const std::string_view piece : characters) {
            check(!piece.empty() && piece.size() <= 4, "character size");
            joined += piece;
        }
        check(joined == ref.rows[block], "characters of a row");
        for (const Mark &mark : dump.marksOfBlock(block)) {
            check(mark.offset < (block + 1) * kBlock && mark.offset + mark.length > block * kBlock,
                  "mark has a byte in its block");
            if (marks.empty() || !(marks.back() == mark))
                marks.push_back(mark);
        }
    }
    check(dump.text() == text, "text");
    check(marks == ref.marks, "marks of the blocks");
    std::vector<Mark> streamed;
    encoding->forEachMark(record, [&](const Mark &mark) { streamed.push_back(mark); });
    check(streamed == ref.marks, "marks of the record");
    for (std::size_t at = 0; at < record.size(); ++at) {
        check(dump.unitHolding(at) == ref.holders[at], "unit holding a byte");
        if (const auto near = encoding->startNear(record, at)) {
            const RecordDump::RowUnit &holder = ref.holders[near->offset];
            check(near->offset <= at && holder.offset == near->offset &&
                      holder.state == near->state,
                  "start near a byte");
        }
    }
    const UnitStart end = encoding->advance(record, {}, record.size());
    check(end.offset == record.size(), "advance to the end");
    return 0;
}
