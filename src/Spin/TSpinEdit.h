#pragma once

#include <QLineEdit>

#include <cstdint>

class Beeper;
class TimerFactory;
class TSpinButton;

// A one-line field holding a whole number, with an up and a down arrow inside its right edge.
//
// The text is the only store of the number: Value() reads it (an empty or unparsable text reads
// as MinValue()), SetValue() limits the number and writes it as decimal text. Writing MinValue,
// MaxValue, Increment, EditorEnabled or setEnabled() never touches the text; new bounds apply at
// the next SetValue(), step or focus exit.
//
// OnChange(sender = this) is emitted synchronously, once per change of the text:
// - by SetValue() or setText(), only when the text differs from the one shown, and before they
//   return with the new text already in place; a handler that writes again nests a second event;
// - after each edit by the user (a typed character, a deletion, a paste, a cut);
// - never for the text already shown, and never during construction.
// An exception thrown by a handler passes out of SetValue() or out of the user action; the text
// keeps the new value.
//
// The arrows, the Up and Down keys (which still reach the field afterwards) and hold-to-repeat
// step by Increment() with 32-bit wrap-around; while the field is read-only a step only beeps.
// Typed characters pass AcceptsChar() or are dropped with a beep; paste and cut are carried out
// only when EditorEnabled() and not isReadOnly(); copy always works. Entering the field selects
// the whole text (AutoSelect), a click in the text then places the caret; leaving it emits OnExit
// and then writes the number again when it lies outside the bounds. While disabled nothing in
// the field reacts, but the arrows keep their normal look.
class TSpinEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget *parent = nullptr);
    TSpinEdit(Beeper &beeper, TimerFactory &timers, QWidget *parent = nullptr);
    ~TSpinEdit() override;

    std::int32_t Value() const;
    void SetValue(std::int32_t value);

    std::int32_t MinValue() const { return m_minValue; }
    void SetMinValue(std::int32_t value) { m_minValue = value; }
    std::int32_t MaxValue() const { return m_maxValue; }
    void SetMaxValue(std::int32_t value) { m_maxValue = value; }
    // Added by the up arrow and the Up key, subtracted by the down arrow and the Down key.
    std::int32_t Increment() const { return m_increment; }
    void SetIncrement(std::int32_t value) { m_increment = value; }

    // Whether the user may type, paste or cut. Steps are allowed either way.
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool enabled);
    // Whether entering the field selects its whole text.
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool enabled) { m_autoSelect = enabled; }
    // Whether the height follows the font.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool enabled);

    // The number limited to the bounds, only when they differ.
    std::int32_t ClampValue(std::int32_t value) const;
    // The lowest height the field takes for its font; every resize keeps to it.
    int MinimumHeight() const;
    TSpinButton *ButtonPair() const { return m_buttonPair; }

    virtual bool AcceptsChar(QChar c) const;
    // The sender is ignored; the arrow pair passes itself, the keys pass the field.
    virtual void StepUp(QObject *sender);
    virtual void StepDown(QObject *sender);

signals:
    void OnChange(QObject *sender);
    void OnEnter(QObject *sender);
    void OnExit(QObject *sender);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void TextChanged();
    void Step(std::int32_t (*apply)(std::int32_t value, std::int32_t increment));
    void WriteText(const QString &text);
    bool PasteAllowed() const;
    bool AcceptsAll(const QString &typed) const;
    void ApplyHeightRules();
    void ArrangeButtonPair();
    void FitTextArea();

    Beeper &m_beeper;
    TSpinButton *m_buttonPair = nullptr;
    std::int32_t m_minValue = 0;
    std::int32_t m_maxValue = 0;
    std::int32_t m_increment = 1;
    bool m_editorEnabled = true;
    bool m_autoSelect = true;
    bool m_autoSize = true;
    // While the base field handles user input its edits are announced once it has finished, so
    // that a throwing handler never leaves the field half-way through an edit.
    bool m_inUserInput = false;
    bool m_editPending = false;
    // Set while SetValue() writes, which announces its change itself.
    bool m_writing = false;
};
