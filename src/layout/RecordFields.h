#pragma once

#include "FieldBand.h"
#include "FieldCut.h"
#include "FieldRow.h"
#include "Placement.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class FieldAlternatives;
class FieldDecoder;
class Layout;

// The fields of one record, a row for each item in the layout's order: where it lies, its
// bytes and what they hold. The alternatives that stand decide which rows the dump paints,
// names under the cursor and compares.
class RecordFields
{
public:
    static constexpr std::size_t kShownBytes = 64;         // of the hex column
    static constexpr std::uint64_t kMostDecoded = 1 << 20; // longer fields show no value

    RecordFields(const Layout &layout, const FieldDecoder &decoder, std::string_view record,
                 const FieldAlternatives &alternatives);

    const std::vector<FieldRow> &rows() const { return m_rows; }
    std::uint64_t recordLength() const { return m_recordLength; }
    // Whether other has the same rows of the same items, so that a table keeps its shape.
    bool sameShape(const RecordFields &other) const;
    // Takes the alternatives that stand now.
    void stand(const FieldAlternatives &alternatives);

    // The standing elementary rows with bytes in the record, by offset.
    const std::vector<std::size_t> &standing() const { return m_standing; }
    // The standing row whose bytes hold the record's byte at offset.
    std::optional<std::size_t> rowHolding(std::uint64_t offset) const;
    std::vector<FieldBand> bands() const;
    // The field under the cursor for the status line: "AMOUNT byte 3 of 6, S9(9)V99 COMP-3:
    // 15460.00"; empty where no field stands.
    std::string describeByte(std::uint64_t offset) const;
    // Whether the record is as long as the layout; else what is amiss: "The record is 12 bytes
    // shorter than the layout (57 bytes)".
    std::string lengthNote(std::uint64_t layoutLength) const;
    std::vector<FieldCut> cuts() const;

private:
    void addRow(const Placement &placement, std::string name, std::string_view record,
                const FieldDecoder &decoder);
    void decode(FieldRow &row, std::string_view bytes, const FieldDecoder &decoder) const;
    FieldCut::Kind cutOf(const FieldRow &row) const;

    std::vector<FieldRow> m_rows;
    std::vector<std::size_t> m_open; // while the rows are made
    std::vector<std::size_t> m_standing;
    std::uint64_t m_recordLength = 0;
    bool m_nationalN = false;
};
