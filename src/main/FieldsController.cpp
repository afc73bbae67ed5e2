#include "FieldsController.h"

#include "CopybookLayout.h"
#include "DumpView.h"
#include "ErrorBox.h"
#include "FieldAlternatives.h"
#include "FieldComparison.h"
#include "FieldDecoder.h"
#include "FieldsModel.h"
#include "FieldsWindow.h"
#include "LaidOutEncoding.h"
#include "RecordFields.h"

#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

FieldsController::FieldsController(DumpView *view, QWidget *owner)
    : QObject(owner), m_view(view), m_owner(owner)
{
    connect(m_view, &DumpView::cursorByteChanged, this, &FieldsController::cursorMoved);
}

FieldsController::~FieldsController() = default;

bool FieldsController::choose(const LayoutChoice &choice)
{
    m_lastChoice = choice;
    std::unique_ptr<CopybookLayout> layout;
    try {
        layout = std::make_unique<CopybookLayout>(choice);
    } catch (const std::exception &error) {
        ErrorBox::show(error.what());
        return false;
    }
    // The model lets go of the old rows before their items go.
    if (m_window)
        m_window->model()->clear();
    m_fields.reset();
    m_comparison.reset();
    m_alternatives = std::make_unique<FieldAlternatives>(layout->layout());
    m_layout = std::move(layout);
    showWindowTitle();
    return true;
}

void FieldsController::clear()
{
    if (m_window) {
        m_window->model()->clear();
        m_window->hide();
    }
    m_fields.reset();
    m_comparison.reset();
    m_alternatives.reset();
    m_layout.reset();
}

std::uint64_t FieldsController::layoutLength() const
{
    return m_layout ? m_layout->layout().largestLength() : 0;
}

std::shared_ptr<const Encoding> FieldsController::cutting(const Record &record,
                                                          std::shared_ptr<const Encoding> encoding)
{
    m_comparison.reset();
    m_other.reset();
    if (!m_layout)
        return encoding;
    m_fields = fieldsOf(record, encoding);
    return std::make_shared<const LaidOutEncoding>(std::move(encoding), m_fields->cuts());
}

void FieldsController::shown()
{
    if (!m_fields)
        return;
    m_view->setFieldBands(m_fields->bands());
    window()->model()->show(m_fields);
    window()->setNote(QString::fromStdString(m_fields->lengthNote(layoutLength())));
    cursorMoved();
}

std::pair<std::shared_ptr<const Encoding>, std::shared_ptr<const Encoding>>
FieldsController::cuttingBoth(const Record &a, const Record &b,
                              const std::shared_ptr<const Encoding> &encoding)
{
    if (!m_layout)
        return {encoding, encoding};
    m_fields = fieldsOf(a, encoding);
    m_other = fieldsOf(b, encoding);
    m_comparison = std::make_shared<const FieldComparison>(*m_fields, a.bytes, *m_other, b.bytes);
    return {std::make_shared<const LaidOutEncoding>(encoding, m_fields->cuts()),
            std::make_shared<const LaidOutEncoding>(encoding, m_other->cuts())};
}

QString FieldsController::shownBoth()
{
    if (!m_comparison)
        return {};
    m_view->setFieldBands(m_fields->bands());
    window()->model()->show(m_fields, m_other, m_comparison);
    window()->setNote(QString::fromStdString(m_fields->lengthNote(layoutLength())));
    return QString::fromStdString(m_comparison->summary());
}

QString FieldsController::cursorField() const
{
    const std::optional<std::uint64_t> offset = m_view->cursorByte();
    if (!m_fields || !offset)
        return {};
    return QString::fromStdString(m_fields->describeByte(*offset));
}

void FieldsController::stepDifferingField(bool backwards)
{
    if (!m_comparison)
        return;
    const std::optional<std::size_t> row =
        m_comparison->step(m_view->cursorByte().value_or(0), backwards);
    if (!row)
        return;
    m_view->showByte(m_fields->rows()[*row].offset);
    window()->selectRow(*row);
}

void FieldsController::toggleWindow()
{
    if (m_window && m_window->isVisible())
        m_window->hide();
    else
        showWindow();
}

void FieldsController::showWindow()
{
    if (!m_layout || window()->isVisible())
        return;
    // At start-up, after the main window: shown first, it would come up beneath it.
    if (!m_owner->isVisible()) {
        QMetaObject::invokeMethod(this, &FieldsController::showWindow, Qt::QueuedConnection);
        return;
    }
    m_window->show();
    // Once shown: the window manager places a window it maps as it likes.
    m_window->placeBeside(*m_owner);
}

FieldsWindow *FieldsController::window()
{
    if (!m_window) {
        m_window = new FieldsWindow(m_owner);
        connect(m_window, &FieldsWindow::rowChosen, this, &FieldsController::rowChosen);
        showWindowTitle();
    }
    return m_window;
}

const FieldDecoder &FieldsController::decoderFor(const std::shared_ptr<const Encoding> &encoding)
{
    // Made once an encoding: the decoder opens converters of its own.
    if (!m_decoder || encoding != m_decoderEncoding) {
        m_decoder = std::make_unique<FieldDecoder>(m_layout->decoder(encoding));
        m_decoderEncoding = encoding;
    }
    return *m_decoder;
}

std::shared_ptr<RecordFields>
FieldsController::fieldsOf(const Record &record, const std::shared_ptr<const Encoding> &encoding)
{
    return std::make_shared<RecordFields>(m_layout->layout(), decoderFor(encoding), record.bytes,
                                          *m_alternatives);
}

void FieldsController::rowChosen(std::size_t row)
{
    if (!m_fields || row >= m_fields->rows().size())
        return;
    const FieldRow &chosen = m_fields->rows()[row];
    const std::uint64_t offset = chosen.offset;
    const std::uint64_t length = std::min(chosen.length, m_fields->recordLength() - offset);
    const bool present = offset < m_fields->recordLength();
    if (!m_alternatives->stands(*chosen.item)) {
        m_alternatives->choose(*chosen.item);
        emit cutChanged(); // the record is shown anew, with fields of its own
    }
    if (!present)
        return;
    const QScopedValueRollback following(m_choosingRow, true);
    m_view->showByte(offset, m_view->compare() ? 0 : length);
    window()->selectRow(row);
}

void FieldsController::cursorMoved()
{
    if (!m_fields || m_choosingRow || !m_window)
        return;
    const std::optional<std::uint64_t> offset = m_view->cursorByte();
    if (const std::optional<std::size_t> row =
            offset ? m_fields->rowHolding(*offset) : std::nullopt)
        m_window->selectRow(*row);
}

void FieldsController::showWindowTitle()
{
    if (!m_window || !m_layout)
        return;
    const std::string &path = m_layout->choice().copybook;
    const QString copybook =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
    m_window->setCaption(copybook, QString::fromStdString(m_layout->recordName()));
}
