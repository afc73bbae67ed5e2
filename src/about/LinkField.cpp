#include "LinkField.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

LinkField::LinkField(QWidget *parent) : QLineEdit(parent), m_label(new QLabel(parent))
{
    setReadOnly(true);
    setFrame(false);
    setFocusPolicy(Qt::NoFocus);
    // After setReadOnly, which sets a pointer of its own.
    setCursor(Qt::PointingHandCursor);
    QFont underlined;
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, colours.color(QPalette::Link));
    colours.setColor(QPalette::Base, colours.color(QPalette::Button));
    setPalette(colours);
    m_label->installEventFilter(this);
}

QString LinkField::labelText() const
{
    return m_label->text();
}

void LinkField::setLabelText(const QString &text)
{
    m_label->setText(text);
    m_label->adjustSize();
    placeLabel();
}

bool LinkField::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
        placeLabel();
        break;
    case QEvent::Resize:
    case QEvent::FontChange:
        keepTextVisible();
        placeLabel();
        break;
    default:
        break;
    }
    return QLineEdit::event(event);
}

bool LinkField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::Resize)
        placeLabel();
    return QLineEdit::eventFilter(watched, event);
}

void LinkField::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    emit doubleClicked();
}

// The layout's 12 pixels were drawn for a face of exactly that height; other faces need more
// for their descenders and the underline. QLineEdit keeps a pixel above and below the text.
void LinkField::keepTextVisible()
{
    const int lineHeight = fontMetrics().height() + 2;
    if (height() < lineHeight)
        resize(width(), lineHeight);
}

// Integer division rounds toward zero, as the layout's rule does.
void LinkField::placeLabel()
{
    const int centredTop = y() + (height() - m_label->height()) / 2;
    m_label->move(x() - m_label->width() - kLabelSpacing, centredTop);
}
