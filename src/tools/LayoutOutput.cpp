#include "LayoutOutput.h"

#include "Failure.h"
#include "HexDigits.h"
#include "JsonLinesWriter.h"
#include "RecordStore.h"
#include "Subscripts.h"

#include <stdexcept>

namespace {

constexpr std::size_t kPieceSize = std::size_t{1} << 20;

constexpr std::string_view kHelp =
    R"(
Copybooks:
       qarvo-dump --copybook CPY [--layout-record NAME] --layout
       qarvo-dump [--encoding NAME] [--lines | --record-length N | --rdw] --copybook CPY
                  --fields FILE [RECORD] | --json FILE
  --copybook CPY    the COBOL copybook that lays the records out; without a framing option
                    the records are fixed-length, as long as the layout at its largest
  --layout          print each item: LEVEL NAME OFFSET LENGTH [PICTURE] [USAGE]
  --fields          print each field of record RECORD: NAME OFFSET LENGTH HEX VALUE, where
                    VALUE is as --json writes it, "absent" past a short record's end or
                    "invalid:REASON" (digit, sign, zone, unmapped, range, edited, counter)
  --json            print every record as a JSON object a line
  --layout-record NAME   the 01 record to use; the copybook's first by default
  --copybook-format fixed|free   columns 8 to 72 (the default) or whole lines
  --lines           records end at CR, LF or CR LF, as without a copybook
  --binary big|little    byte order of COMP-5 (big by default)
  --float hex|ieee  COMP-1 and COMP-2 as IBM hexadecimal (the default under EBCDIC) or IEEE
  --nsymbol dbcs|national   PIC N with no USAGE as double-byte (the default) or UTF-16
With a copybook the exit status is 0 when every value decoded, 1 when one did not, 2 for
wrong arguments, a copybook that cannot be read or a FILE that cannot be loaded.
)";

CopybookLayout laidOut(const LayoutArguments &arguments)
{
    try {
        return CopybookLayout(arguments.choice());
    } catch (const std::runtime_error &error) {
        throw Failure(error.what());
    }
}

} // namespace

std::string_view LayoutOutput::help()
{
    return kHelp;
}

LayoutOutput::LayoutOutput(const LayoutArguments &arguments)
    : m_copybook(laidOut(arguments))
{}

Framing LayoutOutput::framing() const
{
    if (m_copybook.layout().largestLength() == 0)
        throw Failure(m_copybook.choice().copybook + ": the record has no bytes");
    return Framing::fixedLength(m_copybook.layout().largestLength());
}

void LayoutOutput::writeLayout(const Write &write) const
{
    std::string out;
    Subscripts subscripts;
    for (const Placement &placement : m_copybook.layout().largest()) {
        const Item &item = *placement.item;
        const std::string name = subscripts.nameOf(placement);
        if (placement.kind == Placement::Kind::Table || item.level == 0)
            continue;
        out += (item.level < 10 ? "0" : "") + std::to_string(item.level) + ' ' + name + ' ' +
               std::to_string(placement.offset) + ' ' + std::to_string(placement.length);
        if (item.level == 66) {
            out += " RENAMES";
        } else if (!item.isGroup()) {
            if (!item.pictureText.empty())
                out += ' ' + item.pictureText;
            if (const std::string_view usage = Item::usageName(item.usage); !usage.empty())
                out += ' ' + std::string(usage);
        }
        out += '\n';
        if (out.size() >= kPieceSize) {
            write(out);
            out.clear();
        }
    }
    write(out);
}

bool LayoutOutput::writeFields(std::string_view record, std::shared_ptr<const Encoding> encoding,
                               const Write &write) const
{
    const FieldDecoder decoder = m_copybook.decoder(std::move(encoding));
    std::vector<Placement> placements;
    m_copybook.layout().place(record, decoder.counterReader(), placements);
    std::string out;
    std::string value;
    Subscripts subscripts;
    bool valid = true;
    for (const Placement &placement : placements) {
        const std::string name = subscripts.nameOf(placement);
        const Item &item = *placement.item;
        if (placement.kind == Placement::Kind::Table || item.isGroup() || item.level == 66)
            continue;
        out += name + ' ' + std::to_string(placement.offset) + ' ' +
               std::to_string(placement.length) + ' ';
        const std::string_view present = placement.offset < record.size()
                                             ? record.substr(placement.offset, placement.length)
                                             : std::string_view();
        HexDigits::append(present, out);
        if (present.empty())
            out += '-';
        out += ' ';
        if (present.size() < placement.length) {
            out += "absent\n";
            continue;
        }
        value.clear();
        const FieldValue decoded = decoder.decode(present, item, value);
        const FieldValue::Reason reason =
            placement.counterOutOfRange ? FieldValue::Reason::Counter : decoded.reason;
        if (!decoded.valid() || placement.counterOutOfRange) {
            out += "invalid:" + std::string(FieldValue::reasonName(reason)) + '\n';
            valid = valid && (item.isFiller() || !m_copybook.layout().standsAlone(item));
            continue;
        }
        if (decoded.kind == FieldValue::Kind::Number) {
            out += value;
        } else if (decoded.kind == FieldValue::Kind::Null) {
            out += "null";
        } else {
            out += '"';
            JsonLinesWriter::appendEscaped(value, out);
            out += '"';
        }
        out += '\n';
    }
    write(out);
    return valid;
}

bool LayoutOutput::writeJson(const RecordStore &store, std::shared_ptr<const Encoding> encoding,
                             const Write &write) const
{
    const FieldDecoder decoder = m_copybook.decoder(std::move(encoding));
    JsonLinesWriter writer(m_copybook.layout(), decoder);
    OutputBuffer out;
    bool valid = true;
    const std::size_t count = store.count();
    for (std::size_t i = 0; i < count; ++i) {
        valid = writer.write(store.record(static_cast<std::int64_t>(i)).bytes, out) && valid;
        if (out.size() >= kPieceSize) {
            write(out.view());
            out.clear();
        }
    }
    write(out.view());
    return valid;
}
