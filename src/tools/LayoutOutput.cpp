#include "LayoutOutput.h"

#include "CopybookError.h"
#include "Failure.h"
#include "JsonLinesWriter.h"
#include "RecordStore.h"

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

std::string_view usageName(Usage usage)
{
    switch (usage) {
    case Usage::Display:
        return "";
    case Usage::Display1:
        return "DISPLAY-1";
    case Usage::National:
        return "NATIONAL";
    case Usage::Binary:
        return "COMP";
    case Usage::Comp5:
        return "COMP-5";
    case Usage::Packed:
        return "COMP-3";
    case Usage::Comp1:
        return "COMP-1";
    case Usage::Comp2:
        return "COMP-2";
    case Usage::Index:
        return "INDEX";
    case Usage::Pointer:
        return "POINTER";
    case Usage::CompX:
        return "COMP-X";
    }
    return "";
}

// An item's name with the subscripts of the occurrences it lies in: "AMOUNT(2,1)".
class Subscripts
{
public:
    std::string nameOf(const Placement &placement)
    {
        while (!m_open.empty() && m_open.back().depth >= placement.depth)
            m_open.pop_back();
        if (placement.occurrence)
            m_open.push_back({placement.depth, placement.occurrence});
        std::string name = placement.item->name.empty() ? "FILLER" : placement.item->name;
        for (std::size_t i = 0; i < m_open.size(); ++i)
            name += (i == 0 ? "(" : ",") + std::to_string(m_open[i].occurrence);
        return m_open.empty() ? name : name + ")";
    }

private:
    struct Open
    {
        std::uint16_t depth;
        std::uint32_t occurrence;
    };
    std::vector<Open> m_open;
};

void appendHex(std::string_view bytes, std::string &out)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char byte : bytes) {
        out += kHex[static_cast<std::uint8_t>(byte) >> 4];
        out += kHex[static_cast<std::uint8_t>(byte) & 0x0F];
    }
}

Copybook loaded(const LayoutArguments &arguments)
{
    const auto format =
        arguments.freeFormat() ? CopybookReader::Format::Free : CopybookReader::Format::Reference;
    try {
        return Copybook::load(arguments.copybook(), format);
    } catch (const CopybookError &error) {
        throw Failure(error.what());
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
    : m_arguments(arguments), m_copybook(loaded(arguments))
{
    const Item *record = nullptr;
    try {
        record = &m_copybook.record(arguments.record());
    } catch (const std::invalid_argument &error) {
        throw Failure(arguments.copybook() + ": " + error.what());
    }
    try {
        m_layout = std::make_unique<Layout>(*record);
    } catch (const CopybookError &error) {
        throw Failure(error.what());
    }
}

Framing LayoutOutput::framing() const
{
    if (m_layout->largestLength() == 0)
        throw Failure(m_arguments.copybook() + ": the record has no bytes");
    return Framing::fixedLength(m_layout->largestLength());
}

void LayoutOutput::writeLayout(const Write &write) const
{
    std::string out;
    Subscripts subscripts;
    for (const Placement &placement : m_layout->largest()) {
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
            if (const std::string_view usage = usageName(item.usage); !usage.empty())
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
    const FieldDecoder decoder = decoderFor(std::move(encoding));
    std::vector<Placement> placements;
    m_layout->place(record, decoder.counterReader(), placements);
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
        appendHex(present, out);
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
            valid = valid && (item.isFiller() || !m_layout->standsAlone(item));
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
    const FieldDecoder decoder = decoderFor(std::move(encoding));
    JsonLinesWriter writer(*m_layout, decoder);
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

FieldDecoder LayoutOutput::decoderFor(std::shared_ptr<const Encoding> encoding) const
{
    FieldDecoder::Options options;
    options.littleEndianComp5 = m_arguments.littleEndianComp5();
    options.nationalN = m_arguments.nationalN();
    using Floats = LayoutArguments::Floats;
    options.floats = m_arguments.floats() == Floats::Hex ? FieldDecoder::Options::Floats::Hex
                     : m_arguments.floats() == Floats::Ieee
                         ? FieldDecoder::Options::Floats::Ieee
                         : FieldDecoder::Options::Floats::ByEncoding;
    return FieldDecoder(std::move(encoding), options);
}
