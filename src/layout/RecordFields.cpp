#include "RecordFields.h"

#include "ConditionCheck.h"
#include "FieldAlternatives.h"
#include "FieldDecoder.h"
#include "HexDigits.h"
#include "Item.h"
#include "Layout.h"
#include "Subscripts.h"

#include <algorithm>

namespace {

std::string pictureOf(const Placement &placement)
{
    const Item &item = *placement.item;
    if (placement.kind == Placement::Kind::Table)
        return "OCCURS " + std::to_string(placement.count);
    if (item.level == 66)
        return "RENAMES";
    if (item.isGroup())
        return {};
    std::string picture = item.pictureText;
    if (const std::string_view usage = Item::usageName(item.usage); !usage.empty())
        picture += (picture.empty() ? "" : " ") + std::string(usage);
    return picture;
}

std::string hexOf(std::string_view bytes)
{
    std::string hex;
    HexDigits::append(bytes.substr(0, RecordFields::kShownBytes), hex);
    if (bytes.size() > RecordFields::kShownBytes)
        hex += "…";
    return hex;
}

} // namespace

RecordFields::RecordFields(const Layout &layout, const FieldDecoder &decoder,
                           std::string_view record, const FieldAlternatives &alternatives)
    : m_recordLength(record.size()), m_nationalN(decoder.options().nationalN)
{
    std::vector<Placement> placements;
    layout.place(record, decoder.counterReader(), placements);
    m_rows.reserve(placements.size());
    Subscripts subscripts;
    for (const Placement &placement : placements)
        addRow(placement, subscripts.nameOf(placement), record, decoder);
    stand(alternatives);
}

void RecordFields::addRow(const Placement &placement, std::string name, std::string_view record,
                          const FieldDecoder &decoder)
{
    FieldRow row;
    row.item = placement.item;
    row.depth = placement.depth;
    row.name = std::move(name);
    row.offset = placement.offset;
    row.length = placement.length;
    row.picture = pictureOf(placement);
    // The rows open above this one, one a depth: the last row at each.
    m_open.resize(row.depth + std::size_t{1});
    row.parent = row.depth == 0 ? FieldRow::kNoParent : m_open[row.depth - 1];
    m_open[row.depth] = m_rows.size();
    const std::string_view bytes = placement.offset < record.size()
                                       ? record.substr(placement.offset, placement.length)
                                       : std::string_view();
    row.hex = hexOf(bytes);
    const Item &item = *placement.item;
    const bool group = placement.kind == Placement::Kind::Table || item.isGroup() ||
                       item.level == 66 || item.level == 0;
    if (!group) {
        if (bytes.size() < placement.length)
            row.state = FieldRow::State::Absent;
        else if (placement.counterOutOfRange)
            row.state = FieldRow::State::Invalid, row.reason = FieldValue::Reason::Counter;
        else
            decode(row, bytes, decoder);
    }
    m_rows.push_back(std::move(row));
}

void RecordFields::decode(FieldRow &row, std::string_view bytes, const FieldDecoder &decoder) const
{
    if (bytes.size() > kMostDecoded) {
        row.state = FieldRow::State::TooLong;
        return;
    }
    const FieldValue decoded = decoder.decode(bytes, *row.item, row.value);
    if (!decoded.valid()) {
        row.state = FieldRow::State::Invalid;
        row.reason = decoded.reason;
        return;
    }
    row.state = FieldRow::State::Value;
    if (decoded.kind == FieldValue::Kind::Null)
        row.value = "null";
    row.conditions = ConditionCheck::holding(*row.item, decoded, row.value, bytes);
}

bool RecordFields::sameShape(const RecordFields &other) const
{
    return std::ranges::equal(m_rows, other.m_rows, [](const FieldRow &a, const FieldRow &b) {
        return a.item == b.item && a.parent == b.parent && a.name == b.name;
    });
}

void RecordFields::stand(const FieldAlternatives &alternatives)
{
    m_standing.clear();
    for (std::size_t at = 0; at < m_rows.size(); ++at) {
        const FieldRow &row = m_rows[at];
        if (row.elementary() && row.length > 0 && row.offset < m_recordLength &&
            alternatives.stands(*row.item))
            m_standing.push_back(at);
    }
    // Standing rows do not overlap; DEPENDING ON may still place them out of entry order.
    std::ranges::stable_sort(m_standing, {}, [this](std::size_t at) { return m_rows[at].offset; });
}

std::optional<std::size_t> RecordFields::rowHolding(std::uint64_t offset) const
{
    const auto after = std::ranges::upper_bound(
        m_standing, offset, {}, [this](std::size_t at) { return m_rows[at].offset; });
    if (after == m_standing.begin())
        return std::nullopt;
    const FieldRow &row = m_rows[*std::prev(after)];
    if (offset >= row.offset + row.length)
        return std::nullopt;
    return *std::prev(after);
}

std::vector<FieldBand> RecordFields::bands() const
{
    std::vector<FieldBand> bands;
    bands.reserve(m_standing.size());
    for (const std::size_t at : m_standing) {
        const FieldRow &row = m_rows[at];
        const bool invalid = row.state == FieldRow::State::Invalid;
        const auto kind = invalid            ? FieldBand::Kind::Invalid
                          : bands.size() % 2 ? FieldBand::Kind::Odd
                                             : FieldBand::Kind::Even;
        bands.push_back(
            {row.offset, std::min(row.length, m_recordLength - row.offset), kind, row.name});
    }
    return bands;
}

std::string RecordFields::describeByte(std::uint64_t offset) const
{
    const std::optional<std::size_t> at = rowHolding(offset);
    if (!at)
        return {};
    const FieldRow &row = m_rows[*at];
    std::string text = row.name + " byte " + std::to_string(offset - row.offset + 1) + " of " +
                       std::to_string(row.length);
    if (!row.picture.empty())
        text += ", " + row.picture;
    return text + ": " + row.shownValue();
}

std::string RecordFields::lengthNote(std::uint64_t layoutLength) const
{
    const auto bytes = [](std::uint64_t count) {
        return std::to_string(count) + (count == 1 ? " byte" : " bytes");
    };
    if (m_recordLength < layoutLength)
        return "The record is " + bytes(layoutLength - m_recordLength) +
               " shorter than the layout (" + bytes(layoutLength) + ")";
    if (m_recordLength > layoutLength)
        return "The record has " + bytes(m_recordLength - layoutLength) + " past the layout (" +
               bytes(layoutLength) + ")";
    return {};
}

std::vector<FieldCut> RecordFields::cuts() const
{
    std::vector<FieldCut> cuts;
    cuts.reserve(m_standing.size());
    for (const std::size_t at : m_standing) {
        const FieldRow &row = m_rows[at];
        cuts.push_back({row.offset, std::min(row.length, m_recordLength - row.offset), cutOf(row)});
    }
    return cuts;
}

FieldCut::Kind RecordFields::cutOf(const FieldRow &row) const
{
    const Item &item = *row.item;
    switch (item.usage) {
    case Usage::Display1:
        return FieldCut::Kind::DoubleByte;
    case Usage::Display:
        if (item.picture && item.picture->category == Picture::Category::DoubleByte)
            return m_nationalN ? FieldCut::Kind::Opaque : FieldCut::Kind::DoubleByte;
        return FieldCut::Kind::Text;
    default:
        return FieldCut::Kind::Opaque;
    }
}
