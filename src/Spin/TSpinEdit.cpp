#include "TSpinEdit.h"

#include "Beeper.h"
#include "QtBeeper.h"
#include "QtTimerFactory.h"
#include "SpinGeometry.h"
#include "SpinValueRules.h"
#include "TSpinButton.h"

#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QScopedValueRollback>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

constexpr int kInitialWidth = 121;
constexpr int kInitialHeight = 25;
constexpr int kInitialPairWidth = 15;
constexpr int kInitialPairHeight = 17;
// Qt has no metric for a thin border line; it is one pixel on the desktops the layout was made for.
constexpr int kBorder = 1;
// The sunken 3-D edge around the client area.
constexpr int kEdge = 2 * kBorder;

QChar decimalSeparator()
{
    static const QChar separator = QLocale::system().decimalPoint().front();
    return separator;
}

// The characters a key press types, as the desktop's character messages would give them:
// Ctrl with a letter types a control character, keys with Alt or Meta type nothing.
QString typedChars(const QKeyEvent &event)
{
    const auto modifiers =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event.key();
    if (modifiers == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    if (modifiers != Qt::NoModifier)
        return {};
    switch (key) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Delete:
        return {};
    default:
        return event.text();
    }
}

// Events through which the base field takes edits from the user.
bool carriesUserEdit(QEvent::Type type)
{
    return type == QEvent::KeyPress || type == QEvent::InputMethod ||
           type == QEvent::MouseButtonRelease || type == QEvent::Drop;
}

// A popup opening or the window losing activation keeps the focus where it is.
bool movesFocus(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

int textHeight(const QFont &font)
{
    return QFontMetrics(font).height();
}

} // namespace

TSpinEdit::TSpinEdit(QWidget *parent)
    : TSpinEdit(QtBeeper::shared(), QtTimerFactory::shared(), parent)
{}

TSpinEdit::TSpinEdit(Beeper &beeper, TimerFactory &timers, QWidget *parent)
    : QLineEdit(parent), m_beeper(beeper)
{
    resize(kInitialWidth, kInitialHeight);
    ApplyHeightRules();

    m_buttonPair = new TSpinButton(timers, this);
    m_buttonPair->resize(kInitialPairWidth, kInitialPairHeight);
    m_buttonPair->SetFocusControl(this);
    connect(m_buttonPair, &TSpinButton::OnUpClick, this, [this](QObject *s) { StepUp(s); });
    connect(m_buttonPair, &TSpinButton::OnDownClick, this, [this](QObject *s) { StepDown(s); });
    ArrangeButtonPair();

    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textChanged, this, &TSpinEdit::TextChanged);
}

TSpinEdit::~TSpinEdit() = default;

std::int32_t TSpinEdit::Value() const
{
    return SpinValueRules::ReadValue(text().toStdString(), m_minValue);
}

void TSpinEdit::SetValue(std::int32_t value)
{
    WriteText(QString::number(ClampValue(value)));
}

void TSpinEdit::SetEditorEnabled(bool enabled)
{
    m_editorEnabled = enabled;
    // A drop is a paste by the mouse.
    setAcceptDrops(enabled);
}

void TSpinEdit::SetAutoSize(bool enabled)
{
    if (m_autoSize == enabled)
        return;
    m_autoSize = enabled;
    ApplyHeightRules();
}

std::int32_t TSpinEdit::ClampValue(std::int32_t value) const
{
    return SpinValueRules::ClampValue(value, m_minValue, m_maxValue);
}

int TSpinEdit::MinimumHeight() const
{
    const int systemHeight = textHeight(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    return SpinGeometry::MinimumHeight(textHeight(font()), systemHeight, kBorder);
}

bool TSpinEdit::AcceptsChar(QChar c) const
{
    return SpinValueRules::AcceptsChar(c.unicode(), m_editorEnabled, decimalSeparator().unicode());
}

void TSpinEdit::StepUp(QObject *)
{
    Step(SpinValueRules::AddWrapping);
}

void TSpinEdit::StepDown(QObject *)
{
    Step(SpinValueRules::SubtractWrapping);
}

bool TSpinEdit::event(QEvent *event)
{
    if (!carriesUserEdit(event->type()))
        return QLineEdit::event(event);
    bool handled = false;
    {
        const QScopedValueRollback inUserInput(m_inUserInput, true);
        handled = QLineEdit::event(event);
    }
    if (std::exchange(m_editPending, false))
        emit OnChange(this);
    return handled;
}

void TSpinEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) {
        if (PasteAllowed())
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        StepUp(this);
        break;
    case Qt::Key_Down:
        StepDown(this);
        break;
    default:
        if (!AcceptsAll(typedChars(*event))) {
            m_beeper.beep();
            event->accept();
            return;
        }
        break;
    }
    // The arrow keys are not consumed: they go on to the field's own handling.
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (AcceptsAll(event->commitString())) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    m_beeper.beep();
    QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&withoutCommit);
}

void TSpinEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection on X11.
    if (event->button() == Qt::MiddleButton && !PasteAllowed()) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TSpinEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The standard menu offers its editing commands only to a writable field.
    const bool readOnly = isReadOnly();
    setReadOnly(readOnly || !m_editorEnabled);
    QMenu *menu = createStandardContextMenu();
    setReadOnly(readOnly);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void TSpinEdit::focusInEvent(QFocusEvent *event)
{
    if (!movesFocus(event->reason())) {
        QLineEdit::focusInEvent(event);
        return;
    }
    // The base field selects on its own for some reasons; AutoSelect alone decides here.
    const bool byMouse = event->reason() == Qt::MouseFocusReason;
    QFocusEvent entry(event->type(), byMouse ? Qt::MouseFocusReason : Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&entry);
    // A press in the text then moves the caret to where it was clicked.
    if (m_autoSelect)
        selectAll();
    emit OnEnter(this);
}

void TSpinEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!movesFocus(event->reason()))
        return;
    emit OnExit(this);
    const std::int32_t value = Value();
    if (ClampValue(value) != value)
        SetValue(value);
}

void TSpinEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    ArrangeButtonPair();
}

void TSpinEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ApplyHeightRules();
    else if (event->type() == QEvent::StyleChange)
        FitTextArea();
}

void TSpinEdit::TextChanged()
{
    if (m_writing)
        return;
    if (m_inUserInput)
        m_editPending = true;
    else
        emit OnChange(this);
}

void TSpinEdit::Step(std::int32_t (*apply)(std::int32_t, std::int32_t))
{
    if (isReadOnly()) {
        m_beeper.beep();
        return;
    }
    SetValue(apply(Value(), m_increment));
}

void TSpinEdit::WriteText(const QString &text)
{
    if (text == this->text())
        return;
    {
        const QScopedValueRollback writing(m_writing, true);
        setText(text);
    }
    emit OnChange(this);
}

bool TSpinEdit::PasteAllowed() const
{
    return m_editorEnabled && !isReadOnly();
}

bool TSpinEdit::AcceptsAll(const QString &typed) const
{
    return std::all_of(typed.begin(), typed.end(), [this](QChar c) { return AcceptsChar(c); });
}

void TSpinEdit::ApplyHeightRules()
{
    setMinimumHeight(MinimumHeight());
    if (m_autoSize)
        resize(width(), SpinGeometry::AutoHeight(textHeight(font()), kBorder));
}

void TSpinEdit::ArrangeButtonPair()
{
    const auto box = SpinGeometry::PairBounds(width(), height(), m_buttonPair->width());
    m_buttonPair->setGeometry(kEdge + box.left, kEdge + box.top, box.width, box.height);
    FitTextArea();
}

void TSpinEdit::FitTextArea()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int clientWidth = width() - 2 * kEdge;
    const int right = kEdge + SpinGeometry::TextAreaRight(clientWidth, m_buttonPair->width());
    setTextMargins(kEdge - contents.left(), 0, contents.right() + 1 - right, 0);
}
