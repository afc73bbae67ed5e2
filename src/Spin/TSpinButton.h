#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

class TimerFactory;
class TTimerSpeedButton;

// Two arrow buttons, up above down, that emit OnUpClick and OnDownClick (sender: the pair) when
// clicked and keep clicking while held. A left-button press first moves the keyboard focus to
// FocusControl(). With TabStop() the pair can hold the focus itself: it then marks CurrentArrow()
// and answers the Up and Down keys and Space.
class TSpinButton : public QWidget
{
    Q_OBJECT

public:
    explicit TSpinButton(QWidget *parent = nullptr);
    TSpinButton(TimerFactory &timers, QWidget *parent = nullptr);
    ~TSpinButton() override;

    TTimerSpeedButton *UpArrow() const { return m_upArrow; }
    TTimerSpeedButton *DownArrow() const { return m_downArrow; }
    TTimerSpeedButton *CurrentArrow() const { return m_currentArrow; }

    // Not owned; cleared when that widget is destroyed.
    QWidget *FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget *control) { m_focusControl = control; }
    bool TabStop() const;
    void SetTabStop(bool enabled);

    // A null image restores the built-in arrow and sets its image count to 1.
    QImage UpGlyph() const;
    void SetUpGlyph(const QImage &glyph);
    QImage DownGlyph() const;
    void SetDownGlyph(const QImage &glyph);
    int UpNumGlyphs() const;
    void SetUpNumGlyphs(int count);
    int DownNumGlyphs() const;
    void SetDownNumGlyphs(int count);

signals:
    void OnUpClick(QObject *sender);
    void OnDownClick(QObject *sender);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TTimerSpeedButton *CreateArrow(TimerFactory &timers, void (TSpinButton::*click)(QObject *));
    void ArrangeArrows();
    void SetCurrentArrow(TTimerSpeedButton *arrow);
    void ArrowPressed(TTimerSpeedButton *arrow);
    void MarkCurrentArrow(bool marked);

    TTimerSpeedButton *m_upArrow = nullptr;
    TTimerSpeedButton *m_downArrow = nullptr;
    TTimerSpeedButton *m_currentArrow = nullptr;
    QPointer<QWidget> m_focusControl;
};
