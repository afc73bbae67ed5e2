#include "FieldsWindow.h"

#include "FieldsModel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr QSize kSize(840, 520);
constexpr int kGap = 8;
constexpr int kNarrowest = 560;
// Wide enough for the usual names, pictures and 16 bytes of hex; the user can widen them.
constexpr int kColumnWidths[] = {44, 170, 52, 52, 130, 130, 180, 180};

} // namespace

FieldsWindow::FieldsWindow(QWidget *owner)
    : QWidget(owner, Qt::Tool), m_model(new FieldsModel(this)), m_note(new QLabel(this)),
      m_table(new QTreeView(this))
{
    setObjectName(QStringLiteral("FieldsWindow"));
    resize(kSize);
    m_note->setObjectName(QStringLiteral("FieldsNote"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_note->hide();
    m_table->setObjectName(QStringLiteral("FieldsTable"));
    m_table->setModel(m_model);
    m_table->setUniformRowHeights(true);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTreePosition(FieldsModel::Name); // the names nest; the levels stand in line
    for (int column = 0; column < FieldsModel::ColumnCount; ++column)
        m_table->header()->resizeSection(column, kColumnWidths[column]);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_note);
    layout->addWidget(m_table);

    // A new shape opens every group; the same shape keeps what the user folded.
    connect(m_model, &QAbstractItemModel::modelReset, m_table, &QTreeView::expandAll);
    // A click, or the keys while the table has the focus: the view also makes rows current
    // on its own, when it first gets the focus after a reset.
    connect(m_table, &QTreeView::clicked, this, &FieldsWindow::chosen);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (m_table->hasFocus() && QApplication::mouseButtons() == Qt::NoButton &&
                    m_table->selectionModel()->isSelected(current))
                    chosen(current);
            });
    auto *copy = new QShortcut(QKeySequence::Copy, m_table);
    copy->setContext(Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &FieldsWindow::copySelection);
}

void FieldsWindow::setCaption(const QString &copybook, const QString &record)
{
    setWindowTitle(tr("Fields \u2013 %1: %2").arg(copybook, record));
}

void FieldsWindow::setNote(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

QString FieldsWindow::note() const
{
    return m_note->text();
}

void FieldsWindow::selectRow(std::size_t row)
{
    const QModelIndex index = m_model->indexOfRow(row);
    if (!index.isValid())
        return;
    const QScopedValueRollback quiet(m_selecting, true);
    m_table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    // By its first column: scrolling to the name would scroll sideways in a narrow table.
    m_table->scrollTo(m_model->indexOfRow(row, 0));
}

void FieldsWindow::placeBeside(const QWidget &owner)
{
    const QRect frame = owner.frameGeometry();
    const QRect screen = owner.screen() ? owner.screen()->availableGeometry() : QRect();
    if (!screen.isValid()) {
        move(frame.right() + 1 + kGap, frame.top());
        return;
    }
    // Narrowed to the room on the right or the left; over the owner's right part when neither
    // side has room enough.
    const int right = screen.right() - frame.right() - kGap;
    const int left = frame.left() - screen.left() - kGap;
    if (right >= kNarrowest || left >= kNarrowest) {
        const bool onRight = right >= kNarrowest;
        resize(std::min(kSize.width(), onRight ? right : left), height());
        move(onRight ? frame.right() + 1 + kGap : frame.left() - kGap - width(), frame.top());
        return;
    }
    move(std::max(screen.left(), screen.right() + 1 - width()), frame.top());
}

void FieldsWindow::copySelection() const
{
    const QString text = m_model->tabSeparated(m_table->selectionModel()->selectedRows());
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void FieldsWindow::chosen(const QModelIndex &index)
{
    if (m_selecting)
        return;
    if (const std::optional<std::size_t> row = m_model->rowOf(index))
        emit rowChosen(*row);
}
