#include "JsonLinesWriter.h"

#include <algorithm>

namespace {

bool needsEscape(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
}

} // namespace

JsonLinesWriter::JsonLinesWriter(const Layout &layout, const FieldDecoder &decoder)
    : m_layout(layout), m_decoder(decoder), m_counters(decoder.counterReader()),
      m_keys(layout.itemCount()), m_leftOut(layout.itemCount()), m_counts(layout.itemCount())
{
    for (const Placement &placement : layout.largest()) {
        std::string &key = m_keys[placement.number];
        if (!key.empty())
            continue;
        const Item &item = *placement.item;
        m_leftOut[placement.number] = item.level == 66 || item.isFiller();
        m_counts[placement.number] = layout.standsAlone(item);
        key.push_back('"');
        appendEscaped(placement.item->name, key);
        key += "\":";
    }
}

bool JsonLinesWriter::write(std::string_view record, std::string &out)
{
    const std::vector<Placement> *placements = &m_layout.largest();
    if (m_layout.variable()) {
        m_layout.place(record, m_counters, m_placements);
        placements = &m_placements;
    }
    m_valid = true;
    m_open.clear();
    out += '{';
    bool first = true;
    std::uint16_t skipBelow = UINT16_MAX; // skips what lies under a left-out item
    // A record of one elementary item is the one key of its object.
    const std::size_t from = m_layout.record().isGroup() ? 1 : 0;
    for (std::size_t i = from; i < placements->size(); ++i) {
        const Placement &placement = (*placements)[i];
        if (placement.depth > skipBelow)
            continue;
        skipBelow = UINT16_MAX;
        const std::uint64_t end = std::uint64_t{placement.offset} + placement.length;
        const bool elementary =
            placement.kind == Placement::Kind::Item && !placement.item->isGroup();
        // An empty table that starts where the record ends is there, and empty.
        const bool absent = elementary
                                ? end > record.size()
                                : placement.offset > record.size() ||
                                      (placement.offset == record.size() && placement.length != 0);
        if (m_leftOut[placement.number] || absent) {
            skipBelow = placement.depth;
            continue;
        }
        while (!m_open.empty() && m_open.back().depth >= placement.depth) {
            out += m_open.back().closer;
            m_open.pop_back();
            first = false;
        }
        if (!first)
            out += ',';
        first = false;
        if (placement.occurrence == 0)
            out += m_keys[placement.number];
        if (placement.kind == Placement::Kind::Table || !elementary) {
            const bool table = placement.kind == Placement::Kind::Table;
            out += table ? '[' : '{';
            m_open.push_back({placement.depth, table ? ']' : '}'});
            first = true;
            continue;
        }
        value(placement, record, out);
    }
    for (auto open = m_open.rbegin(); open != m_open.rend(); ++open)
        out += open->closer;
    out += "}\n";
    return m_valid;
}

// The decoder writes straight into out; text is quoted and escaped after.
void JsonLinesWriter::value(const Placement &placement, std::string_view record, std::string &out)
{
    const std::size_t start = out.size();
    const FieldValue value =
        m_decoder.decode(record.substr(placement.offset, placement.length), *placement.item, out);
    const bool valid = value.valid() && !placement.counterOutOfRange;
    if (!valid && m_counts[placement.number])
        m_valid = false;
    if (!valid || value.kind == FieldValue::Kind::Null) {
        out.resize(start);
        out += "null";
        return;
    }
    if (value.kind == FieldValue::Kind::Number)
        return;
    const std::string_view text = std::string_view(out).substr(start);
    if (std::ranges::any_of(text, needsEscape)) {
        m_escaped.assign(text);
        out.resize(start);
        out += '"';
        appendEscaped(m_escaped, out);
    } else {
        out.insert(start, 1, '"');
    }
    out += '"';
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
