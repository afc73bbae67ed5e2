#include "TTimerSpeedButton.h"

#include "Failure.h"
#include "Timer.h"
#include "TimerFactory.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>

#include <algorithm>

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;
constexpr int kMaxGlyphs = 4;
constexpr int kFocusInset = 3;
constexpr const char *kNoTimer = "タイマーを取得できません";

enum GlyphIndex { kNormal, kDisabled, kPressed };

} // namespace

TTimerSpeedButton::TTimerSpeedButton(TimerFactory &timers, QWidget *parent)
    : QWidget(parent), m_timers(timers)
{
    setFocusPolicy(Qt::NoFocus);
}

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::SetArrowFlags(ArrowFlagSet flags)
{
    if (m_flags == flags)
        return;
    m_flags = flags;
    update();
}

void TTimerSpeedButton::SetGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    m_images = QPixmap::fromImage(glyph);
    if (!glyph.isNull()) {
        const QColor transparent = glyph.pixelColor(0, glyph.height() - 1);
        m_images.setMask(m_images.createMaskFromColor(transparent, Qt::MaskInColor));
        if (glyph.width() % glyph.height() == 0) {
            const int count = glyph.width() / glyph.height();
            m_numGlyphs = count <= kMaxGlyphs ? count : 1;
        }
    }
    update();
}

void TTimerSpeedButton::SetNumGlyphs(int count)
{
    m_numGlyphs = std::clamp(count, 1, kMaxGlyphs);
    update();
}

void TTimerSpeedButton::Click()
{
    emit OnClick();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    emit OnMouseDown();
    m_held = true;
    SetDown(true);
    if (m_flags.testFlag(RepeatAllowed))
        StartHoldTimer();
}

void TTimerSpeedButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_held) {
        event->ignore();
        return;
    }
    event->accept();
    if (event->buttons().testFlag(Qt::LeftButton))
        SetDown(rect().contains(event->position().toPoint()));
    else
        EndHold();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_held) {
        event->ignore();
        return;
    }
    event->accept();
    const bool over = rect().contains(event->position().toPoint());
    // Stopped before the click, so that a throwing handler leaves no timer running.
    EndHold();
    if (over)
        Click();
}

void TTimerSpeedButton::changeEvent(QEvent *event)
{
    // A lost release (a modal window, a disabled parent) must not leave the arrow repeating.
    if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow()))
        EndHold();
    QWidget::changeEvent(event);
}

void TTimerSpeedButton::hideEvent(QHideEvent *event)
{
    EndHold();
    QWidget::hideEvent(event);
}

void TTimerSpeedButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    // A disabled parent (the spin edit) leaves the arrow looking as usual.
    if (isEnabledTo(parentWidget())) {
        option.state |= QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(isActiveWindow() ? QPalette::Active
                                                             : QPalette::Inactive);
    }
    option.state |= m_down ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QPoint shift = m_down ? QPoint(1, 1) : QPoint(0, 0);
    const QPixmap image = CurrentImage();
    if (!image.isNull()) {
        const QRect target = QStyle::alignedRect(layoutDirection(), Qt::AlignCenter,
                                                 image.size() / image.devicePixelRatio(), rect());
        painter.drawPixmap(target.topLeft() + shift, image);
    }
    if (m_flags.testFlag(FocusMarked)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
        focus.rect.translate(shift);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

QPixmap TTimerSpeedButton::CurrentImage() const
{
    if (m_images.isNull())
        return {};
    const int width = m_images.width() / m_numGlyphs;
    const auto image = [&](int index) {
        return m_images.copy(index * width, 0, width, m_images.height());
    };
    if (!isEnabledTo(parentWidget())) {
        if (m_numGlyphs > kDisabled)
            return image(kDisabled);
        QStyleOption option;
        option.initFrom(this);
        return style()->generatedIconPixmap(QIcon::Disabled, image(kNormal), &option);
    }
    return image(m_down && m_numGlyphs > kPressed ? kPressed : kNormal);
}

void TTimerSpeedButton::SetDown(bool down)
{
    if (m_down == down)
        return;
    m_down = down;
    update();
}

void TTimerSpeedButton::StartHoldTimer()
{
    if (!m_holdTimer)
        m_holdTimer = m_timers.createTimer([this] { HoldTick(); });
    if (!m_holdTimer)
        throw Failure(kNoTimer);
    m_holdTimer->setInterval(kFirstRepeatMs);
    if (!m_holdTimer->start())
        throw Failure(kNoTimer);
}

void TTimerSpeedButton::HoldTick()
{
    m_holdTimer->setInterval(kRepeatMs);
    if (!QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        EndHold(); // the release went elsewhere: the capture is lost
        return;
    }
    if (!m_down)
        return;
    try {
        Click();
    } catch (...) {
        m_holdTimer->stop();
        throw;
    }
}

void TTimerSpeedButton::EndHold()
{
    m_held = false;
    SetDown(false);
    if (m_holdTimer)
        m_holdTimer->stop();
}
