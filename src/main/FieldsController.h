#pragma once

#include "LayoutChoice.h"
#include "RecordStore.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class CopybookLayout;
class DumpView;
class Encoding;
class FieldAlternatives;
class FieldComparison;
class FieldDecoder;
class FieldsWindow;
class RecordFields;

// The layout of the main window's records: the copybook chosen, the Fields window, the fields'
// bands in the dump area and the field under its cursor. The dump area shows what the window
// renders; this says how a record is cut and what its fields hold.
class FieldsController : public QObject
{
    Q_OBJECT

public:
    FieldsController(DumpView *view, QWidget *owner);
    ~FieldsController() override;

    bool active() const { return m_layout != nullptr; }
    // The choice last made, for the dialog; empty before the first.
    const LayoutChoice &lastChoice() const { return m_lastChoice; }
    // Reads the choice's copybook and lays its record out. A copybook that cannot be read is
    // told in the error box, with its line and column, and the layout held stays. Whether the
    // layout changed.
    bool choose(const LayoutChoice &choice);
    void clear();
    // The layout's length at its largest extent.
    std::uint64_t layoutLength() const;

    // The record about to be shown alone: its fields are learnt, and the encoding returned
    // cuts it field by field. encoding as it is without a layout.
    std::shared_ptr<const Encoding> cutting(const Record &record,
                                            std::shared_ptr<const Encoding> encoding);
    // After the dump area shows the record cutting() was told of: its bands and its rows.
    void shown();
    // The same for two records about to be shown against each other: A's encoding and B's.
    std::pair<std::shared_ptr<const Encoding>, std::shared_ptr<const Encoding>>
    cuttingBoth(const Record &a, const Record &b, const std::shared_ptr<const Encoding> &encoding);
    // After it shows them: A's bands and rows with B's values; what differs, in words.
    QString shownBoth();
    // The field under the dump's cursor, for the status line; empty where there is none.
    QString cursorField() const;
    // F8 and Shift+F8 while comparing: the next or previous differing field from the cursor.
    void stepDifferingField(bool backwards);

    // Ctrl+Shift+L: shows or hides the Fields window.
    void toggleWindow();
    // Beside the main window, where it is not up already.
    void showWindow();
    FieldsWindow *window();

signals:
    // Another alternative of a REDEFINES stands now: the record must be cut anew.
    void cutChanged();

private:
    const FieldDecoder &decoderFor(const std::shared_ptr<const Encoding> &encoding);
    std::shared_ptr<RecordFields> fieldsOf(const Record &record,
                                           const std::shared_ptr<const Encoding> &encoding);
    void rowChosen(std::size_t row);
    void cursorMoved();
    void showWindowTitle();

    DumpView *m_view;
    QWidget *m_owner;
    FieldsWindow *m_window = nullptr;
    LayoutChoice m_lastChoice;
    std::unique_ptr<CopybookLayout> m_layout;
    std::unique_ptr<FieldAlternatives> m_alternatives;
    std::shared_ptr<const Encoding> m_decoderEncoding;
    std::unique_ptr<FieldDecoder> m_decoder;
    std::shared_ptr<RecordFields> m_fields; // of the record shown, or A's
    std::shared_ptr<RecordFields> m_other;  // B's
    std::shared_ptr<const FieldComparison> m_comparison;
    bool m_choosingRow = false; // the cursor follows a row the user chose
};
