#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <memory>

class Timer;
class TimerFactory;

// One arrow of a TSpinButton: a flat push button that clicks when the left button is released
// over it and, while held, repeats its click 400 ms after the press and then every 100 ms.
class TTimerSpeedButton : public QWidget
{
    Q_OBJECT

public:
    enum ArrowFlag {
        FocusMarked = 0x1,   // draw the focus mark over the arrow
        RepeatAllowed = 0x2, // start HoldTimer when the arrow is pressed
    };
    Q_DECLARE_FLAGS(ArrowFlagSet, ArrowFlag)

    TTimerSpeedButton(TimerFactory &timers, QWidget *parent);
    ~TTimerSpeedButton() override;

    ArrowFlagSet ArrowFlags() const { return m_flags; }
    void SetArrowFlags(ArrowFlagSet flags);

    // Up to four equal images side by side: normal, disabled, pressed, held down.
    QImage Glyph() const { return m_glyph; }
    // A bitmap whose width is a multiple of its height also sets NumGlyphs (width / height, or 1
    // above 4); any other bitmap leaves it as it is.
    void SetGlyph(const QImage &glyph);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);

    bool IsDown() const { return m_down; }
    // Null until the first press.
    const Timer *HoldTimer() const { return m_holdTimer.get(); }
    void Click();

signals:
    // A left-button press, before the arrow shows pressed.
    void OnMouseDown();
    void OnClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void SetDown(bool down);
    void StartHoldTimer();
    void HoldTick();
    void EndHold();
    QPixmap CurrentImage() const;

    TimerFactory &m_timers;
    std::unique_ptr<Timer> m_holdTimer;
    ArrowFlagSet m_flags;
    QImage m_glyph;
    QPixmap m_images; // m_glyph with the colour of its bottom-left pixel transparent
    int m_numGlyphs = 1;
    bool m_held = false; // pressed with the left button here and not released yet
    bool m_down = false; // shown pressed: held with the pointer over the arrow
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TTimerSpeedButton::ArrowFlagSet)
