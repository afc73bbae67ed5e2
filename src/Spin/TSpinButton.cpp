#include "TSpinButton.h"

#include "QtTimerFactory.h"
#include "SpinGeometry.h"
#include "TTimerSpeedButton.h"

#include <QKeyEvent>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initSpinResources()
{
    Q_INIT_RESOURCE(Spin);
}

namespace {

constexpr int kInitialWidth = 20;
constexpr int kInitialHeight = 25;

void loadResourcesOnce()
{
    static const bool loaded = (initSpinResources(), true);
    Q_UNUSED(loaded);
}

bool canTakeFocus(const QWidget *widget)
{
    return widget->isVisible() && widget->isEnabled();
}

void setGlyphOrBuiltIn(TTimerSpeedButton *arrow, const QImage &glyph, const char *builtIn)
{
    if (!glyph.isNull()) {
        arrow->SetGlyph(glyph);
        return;
    }
    loadResourcesOnce();
    arrow->SetGlyph(QImage(QStringLiteral(":/") + QLatin1String(builtIn)));
    arrow->SetNumGlyphs(1);
}

} // namespace

TSpinButton::TSpinButton(QWidget *parent) : TSpinButton(QtTimerFactory::shared(), parent)
{}

TSpinButton::TSpinButton(TimerFactory &timers, QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    m_upArrow = CreateArrow(timers, &TSpinButton::OnUpClick);
    m_downArrow = CreateArrow(timers, &TSpinButton::OnDownClick);
    SetUpGlyph({});
    SetDownGlyph({});
    setMinimumWidth(SpinGeometry::ArrangeArrows(0, 0).pairWidth);
    resize(kInitialWidth, kInitialHeight);
    ArrangeArrows();
    m_currentArrow = m_upArrow;
}

TSpinButton::~TSpinButton() = default;

TTimerSpeedButton *TSpinButton::CreateArrow(TimerFactory &timers,
                                            void (TSpinButton::*click)(QObject *))
{
    auto *arrow = new TTimerSpeedButton(timers, this);
    arrow->SetArrowFlags(TTimerSpeedButton::RepeatAllowed);
    connect(arrow, &TTimerSpeedButton::OnMouseDown, this, [this, arrow] { ArrowPressed(arrow); });
    connect(arrow, &TTimerSpeedButton::OnClick, this, [this, click] { emit(this->*click)(this); });
    return arrow;
}

bool TSpinButton::TabStop() const
{
    return focusPolicy() & Qt::TabFocus;
}

void TSpinButton::SetTabStop(bool enabled)
{
    // Tab only: a click reaches the focus through ArrowPressed, in its own order.
    setFocusPolicy(enabled ? Qt::TabFocus : Qt::NoFocus);
}

QImage TSpinButton::UpGlyph() const
{
    return m_upArrow->Glyph();
}

void TSpinButton::SetUpGlyph(const QImage &glyph)
{
    setGlyphOrBuiltIn(m_upArrow, glyph, "SpinUp");
}

QImage TSpinButton::DownGlyph() const
{
    return m_downArrow->Glyph();
}

void TSpinButton::SetDownGlyph(const QImage &glyph)
{
    setGlyphOrBuiltIn(m_downArrow, glyph, "SpinDown");
}

int TSpinButton::UpNumGlyphs() const
{
    return m_upArrow->NumGlyphs();
}

void TSpinButton::SetUpNumGlyphs(int count)
{
    m_upArrow->SetNumGlyphs(count);
}

int TSpinButton::DownNumGlyphs() const
{
    return m_downArrow->NumGlyphs();
}

void TSpinButton::SetDownNumGlyphs(int count)
{
    m_downArrow->SetNumGlyphs(count);
}

void TSpinButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ArrangeArrows();
}

void TSpinButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    MarkCurrentArrow(true);
}

void TSpinButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    MarkCurrentArrow(false);
}

void TSpinButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        event->accept();
        m_currentArrow->Click();
        break;
    case Qt::Key_Up:
        event->accept();
        SetCurrentArrow(m_upArrow);
        m_upArrow->Click();
        break;
    case Qt::Key_Down:
        event->accept();
        SetCurrentArrow(m_downArrow);
        m_downArrow->Click();
        break;
    default:
        event->ignore();
        break;
    }
}

void TSpinButton::ArrangeArrows()
{
    const auto boxes = SpinGeometry::ArrangeArrows(width(), height());
    const auto place = [](TTimerSpeedButton *arrow, const SpinGeometry::Box &box) {
        arrow->setGeometry(box.left, box.top, box.width, box.height);
    };
    place(m_upArrow, boxes.up);
    place(m_downArrow, boxes.down);
}

void TSpinButton::SetCurrentArrow(TTimerSpeedButton *arrow)
{
    if (!TabStop() || !canTakeFocus(this) || arrow == m_currentArrow)
        return;
    MarkCurrentArrow(false);
    m_currentArrow = arrow;
    if (hasFocus())
        MarkCurrentArrow(true);
}

void TSpinButton::ArrowPressed(TTimerSpeedButton *arrow)
{
    SetCurrentArrow(arrow);
    QWidget *control = m_focusControl;
    if (control && (control->focusPolicy() & Qt::TabFocus) && canTakeFocus(control) &&
        !control->hasFocus())
        control->setFocus(Qt::MouseFocusReason);
    else if (TabStop() && !hasFocus() && canTakeFocus(this))
        setFocus(Qt::MouseFocusReason);
}

void TSpinButton::MarkCurrentArrow(bool marked)
{
    auto flags = m_currentArrow->ArrowFlags();
    flags.setFlag(TTimerSpeedButton::FocusMarked, marked);
    m_currentArrow->SetArrowFlags(flags);
}
