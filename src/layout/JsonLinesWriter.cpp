#include "JsonLinesWriter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kNull = "null";
// A key and its punctuation are copied as this many bytes when no longer: one fixed move.
constexpr std::uint32_t kShortPrefix = 16;

bool needsEscape(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
}

char *written(std::string_view text, char *at)
{
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

} // namespace

// Writes each piece as it comes, making room for it first.
class JsonLinesWriter::Direct
{
public:
    Direct(JsonLinesWriter &writer, std::string_view record, OutputBuffer &out)
        : m_writer(writer), m_record(record), m_out(out), m_at(out.room(0))
    {}

    void punctuation(std::string_view text) { m_at = written(text, room(text.size())); }
    void value(const Placement &placement)
    {
        const Field &field = m_writer.m_fields[placement.number];
        m_at = m_writer.value(field, m_record.substr(placement.offset, placement.length),
                              placement.counterOutOfRange, room(field.most), m_out);
    }
    void finish() { m_out.commit(m_at); }

private:
    char *room(std::size_t bytes)
    {
        m_out.commit(m_at);
        return m_out.room(bytes);
    }

    JsonLinesWriter &m_writer;
    std::string_view m_record;
    OutputBuffer &m_out;
    char *m_at;
};

// Keeps the punctuation and keys before each value, for records that all look alike.
class JsonLinesWriter::Planner
{
public:
    explicit Planner(JsonLinesWriter &writer) : m_writer(writer) {}

    void punctuation(std::string_view text) { m_pending += text; }
    void value(const Placement &placement)
    {
        m_writer.m_steps.push_back({placement.number, placement.offset, placement.length,
                                    static_cast<std::uint32_t>(m_writer.m_prefixes.size()),
                                    static_cast<std::uint32_t>(m_pending.size())});
        m_writer.m_prefixes += m_pending;
        m_pending.clear();
    }
    void finish() { m_writer.m_tail = m_pending; }

private:
    JsonLinesWriter &m_writer;
    std::string m_pending;
};

JsonLinesWriter::JsonLinesWriter(const Layout &layout, const FieldDecoder &decoder)
    : m_layout(layout), m_decoder(decoder), m_text(decoder.textDecoder()),
      m_counters(decoder.counterReader()), m_keys(layout.itemCount()), m_fields(layout.itemCount())
{
    for (const Placement &placement : layout.largest()) {
        std::string &key = m_keys[placement.number];
        const Item &item = *placement.item;
        if (key.empty()) {
            key.push_back('"');
            appendEscaped(item.name, key);
            key += "\":";
            m_fields[placement.number].leftOut = item.level == 66 || item.isFiller();
        }
        Field &field = m_fields[placement.number];
        if (placement.kind == Placement::Kind::Item && !item.isGroup() && !field.item &&
            !field.leftOut)
            field = fieldOf(item, placement.length);
        field.counts = layout.standsAlone(item);
    }
    plan();
}

bool JsonLinesWriter::write(std::string_view record, std::string &out)
{
    m_line.clear();
    const bool valid = write(record, m_line);
    out += m_line.view();
    return valid;
}

bool JsonLinesWriter::write(std::string_view record, OutputBuffer &out)
{
    m_valid = true;
    if (!m_steps.empty() && record.size() >= m_layout.largestLength()) {
        writePlanned(record, out);
        return m_valid;
    }
    const std::vector<Placement> *placements = &m_layout.largest();
    if (m_layout.variable()) {
        m_layout.place(record, m_counters, m_placements);
        placements = &m_placements;
    }
    Direct direct(*this, record, out);
    walk(record.size(), *placements, direct);
    return m_valid;
}

JsonLinesWriter::Field JsonLinesWriter::fieldOf(const Item &item, std::uint32_t length) const
{
    Field field{&item, kNull.size(), Way::Decoded};
    if (item.usage == Usage::Display && !item.picture)
        return field;
    const bool nearScale = !item.picture || (item.picture->scale >= -int{Decimal::kMostDigits} &&
                                             item.picture->scale <= int{Decimal::kMostDigits});
    switch (FieldDecoder::methodOf(item, length)) {
    // Far scales write more than a Decimal's room; they go the decoder's way.
    case FieldDecoder::Method::Packed:
        if (nearScale)
            field = {&item, Decimal::kMostWritten, Way::Packed};
        break;
    case FieldDecoder::Method::Zoned:
        if (nearScale)
            field = {&item, Decimal::kMostWritten, Way::Zoned};
        break;
    case FieldDecoder::Method::Binary:
        if (nearScale)
            field = {&item, Decimal::kMostWritten, Way::Binary};
        break;
    case FieldDecoder::Method::Floating:
        field = {&item, FieldDecoder::kMostFloat, Way::Floating};
        break;
    case FieldDecoder::Method::Text:
        if (m_text.usable() && item.usage == Usage::Display &&
            item.picture->category == Picture::Category::Alphanumeric)
            field = {&item, 2 + JsonText::kMostPerByte * length, Way::Text};
        break;
    default:
        break;
    }
    field.most = std::max(field.most, kNull.size());
    return field;
}

// The object of a record of size bytes laid out as placements, as punctuation and values.
template <class Sink>
void JsonLinesWriter::walk(std::size_t size, const std::vector<Placement> &placements, Sink &sink)
{
    m_open.clear();
    sink.punctuation("{");
    bool first = true;
    std::uint16_t skipBelow = UINT16_MAX; // skips what lies under a left-out item
    // A record of one elementary item is the one key of its object.
    const std::size_t from = m_layout.record().isGroup() ? 1 : 0;
    for (std::size_t i = from; i < placements.size(); ++i) {
        const Placement &placement = placements[i];
        if (placement.depth > skipBelow)
            continue;
        skipBelow = UINT16_MAX;
        const std::uint64_t end = std::uint64_t{placement.offset} + placement.length;
        const bool elementary =
            placement.kind == Placement::Kind::Item && !placement.item->isGroup();
        // An empty table that starts where the record ends is there, and empty.
        const bool absent = elementary ? end > size
                                       : placement.offset > size ||
                                             (placement.offset == size && placement.length != 0);
        if (m_fields[placement.number].leftOut || absent) {
            skipBelow = placement.depth;
            continue;
        }
        while (!m_open.empty() && m_open.back().depth >= placement.depth) {
            sink.punctuation(std::string_view(&m_open.back().closer, 1));
            m_open.pop_back();
            first = false;
        }
        if (!first)
            sink.punctuation(",");
        first = false;
        if (placement.occurrence == 0)
            sink.punctuation(m_keys[placement.number]);
        if (placement.kind == Placement::Kind::Table || !elementary) {
            const bool table = placement.kind == Placement::Kind::Table;
            sink.punctuation(table ? "[" : "{");
            m_open.push_back({placement.depth, table ? ']' : '}'});
            first = true;
            continue;
        }
        sink.value(placement);
    }
    for (auto open = m_open.rbegin(); open != m_open.rend(); ++open)
        sink.punctuation(std::string_view(&open->closer, 1));
    sink.punctuation("}\n");
    sink.finish();
}

// Without DEPENDING ON, every record long enough is written alike but for its values.
void JsonLinesWriter::plan()
{
    if (m_layout.variable())
        return;
    Planner planner(*this);
    walk(m_layout.largestLength(), m_layout.largest(), planner);
    m_most = m_tail.size();
    for (const Step &step : m_steps)
        m_most +=
            std::max<std::size_t>(step.prefixLength, kShortPrefix) + m_fields[step.number].most;
    m_prefixes.append(kShortPrefix, '\0'); // what the last short copy reads past its prefix
}

void JsonLinesWriter::writePlanned(std::string_view record, OutputBuffer &out)
{
    char *at = out.room(m_most);
    for (const Step &step : m_steps) {
        const char *prefix = m_prefixes.data() + step.prefix;
        if (step.prefixLength <= kShortPrefix)
            std::memcpy(at, prefix, kShortPrefix);
        else
            std::memcpy(at, prefix, step.prefixLength);
        at += step.prefixLength;
        at = value(m_fields[step.number], record.substr(step.offset, step.length), false, at, out);
    }
    out.commit(written(m_tail, at));
}

// at: room for field.most bytes; out: where at points, for the values that need more.
char *JsonLinesWriter::value(const Field &field, std::string_view bytes, bool counterOutOfRange,
                             char *at, OutputBuffer &out)
{
    if (counterOutOfRange)
        return invalid(field, at);
    switch (field.way) {
    case Way::Packed:
        return numberOr(m_decoder.writePacked(bytes, *field.item, at), field, at);
    case Way::Zoned:
        return numberOr(m_decoder.writeZoned(bytes, *field.item, at), field, at);
    case Way::Binary:
        return numberOr(m_decoder.writeBinary(bytes, *field.item, at), field, at);
    case Way::Floating: {
        char *end = m_decoder.writeFloating(bytes, at);
        return end ? end : written(kNull, at);
    }
    case Way::Text: {
        *at = '"';
        char *end = m_text.write(bytes, at + 1);
        if (!end)
            return invalid(field, at);
        *end = '"';
        return end + 1;
    }
    case Way::Decoded:
        break;
    }
    return decoded(field, bytes, at, out);
}

char *JsonLinesWriter::decoded(const Field &field, std::string_view bytes, char *at,
                               OutputBuffer &out)
{
    m_value.clear();
    const FieldValue value = m_decoder.decode(bytes, *field.item, m_value);
    if (!value.valid())
        return invalid(field, at);
    if (value.kind == FieldValue::Kind::Null)
        return written(kNull, at);
    std::string_view text = m_value;
    if (value.kind != FieldValue::Kind::Number) {
        m_quoted.assign(1, '"');
        appendEscaped(m_value, m_quoted);
        m_quoted += '"';
        text = m_quoted;
    }
    // Room for the rest of a planned record too.
    out.commit(at);
    return written(text, out.room(text.size() + m_most));
}

char *JsonLinesWriter::numberOr(char *end, const Field &field, char *at)
{
    return end ? end : invalid(field, at);
}

char *JsonLinesWriter::invalid(const Field &field, char *at)
{
    if (field.counts)
        m_valid = false;
    return written(kNull, at);
}

void JsonLinesWriter::appendEscaped(std::string_view text, std::string &out)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!needsEscape(c))
            continue;
        out.append(text.data() + start, i - start);
        start = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += "\\u00";
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 0x0F];
        }
    }
    out.append(text.data() + start, text.size() - start);
}
