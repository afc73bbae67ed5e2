#include "FindBar.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QToolButton *switchButton(const QString &text, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setCheckable(true);
    button->setAutoRaise(true);
    return button;
}

} // namespace

FindBar::FindBar(QWidget *parent)
    : QFrame(parent), m_caption(new QLabel(this)), m_field(new QLineEdit(this)),
      m_text(switchButton(tr("Text"), this)), m_hex(switchButton(tr("Hex"), this)),
      m_matchCase(new QCheckBox(tr("Match case"), this)),
      m_thisRecordOnly(new QCheckBox(tr("This record only"), this)), m_close(new QToolButton(this)),
      m_status(new QLabel(this))
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    m_field->setMinimumWidth(180);
    m_field->setClearButtonEnabled(true);
    m_text->setChecked(true);
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(m_text);
    kinds->addButton(m_hex);
    m_close->setText(QStringLiteral("\u00D7"));
    m_close->setAutoRaise(true);
    m_close->setToolTip(tr("Close (Esc)"));
    m_status->setTextFormat(Qt::PlainText);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 4, 4);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(2);
    layout->addWidget(m_caption, 0, 0);
    layout->addWidget(m_field, 0, 1);
    layout->addWidget(m_text, 0, 2);
    layout->addWidget(m_hex, 0, 3);
    layout->addWidget(m_matchCase, 0, 4);
    layout->addWidget(m_thisRecordOnly, 0, 5);
    layout->addWidget(m_close, 0, 6);
    layout->addWidget(m_status, 1, 1, 1, 6);

    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (m_mode == Mode::GoTo)
            emit goToRequested();
        else
            emit findRequested(false);
    });
    connect(m_close, &QToolButton::clicked, this, &FindBar::escapePressed);
    connect(m_field, &QLineEdit::textEdited, this, &FindBar::optionsChanged);
    connect(kinds, &QButtonGroup::buttonClicked, this, &FindBar::optionsChanged);
    connect(m_matchCase, &QCheckBox::toggled, this, &FindBar::optionsChanged);
    connect(m_thisRecordOnly, &QCheckBox::toggled, this, &FindBar::optionsChanged);
    hide();
}

void FindBar::open(Mode mode)
{
    if (m_mode != mode) {
        m_mode = mode;
        m_field->clear();
        m_status->clear();
    }
    const bool find = mode == Mode::Find;
    m_caption->setText(find ? tr("Find") : tr("Go to"));
    m_field->setPlaceholderText(find ? QString() : tr("RECORD, RECORD:OFFSET or :OFFSET"));
    for (QWidget *option :
         {static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_hex),
          static_cast<QWidget *>(m_matchCase), static_cast<QWidget *>(m_thisRecordOnly)})
        option->setVisible(find);
    adjustSize();
    show();
    raise();
    m_field->setFocus();
    m_field->selectAll();
}

QString FindBar::text() const
{
    return m_field->text();
}

bool FindBar::hex() const
{
    return m_hex->isChecked();
}

bool FindBar::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindBar::thisRecordOnly() const
{
    return m_thisRecordOnly->isChecked();
}

void FindBar::setStatus(const QString &status)
{
    if (m_status->text() == status)
        return;
    m_status->setText(status);
}

QString FindBar::status() const
{
    return m_status->text();
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        emit escapePressed();
        event->accept();
        break;
    case Qt::Key_F3:
        if (m_mode == Mode::Find)
            emit findRequested(event->modifiers().testFlag(Qt::ShiftModifier));
        event->accept();
        break;
    default:
        QFrame::keyPressEvent(event);
        break;
    }
}
