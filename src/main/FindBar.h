#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The bar that floats over the dump area's top right for Find and Go To: a field, the
// Text/Hex switch, "Match case" and "This record only", and a line that tells what happened.
// It only reports what the user asks for; FindController does it.
class FindBar : public QFrame
{
    Q_OBJECT

public:
    enum class Mode { Find, GoTo };

    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar in mode with the field's text selected, and gives the field the focus.
    void open(Mode mode);
    Mode mode() const { return m_mode; }

    QString text() const;
    bool hex() const;
    bool matchCase() const;
    bool thisRecordOnly() const;
    void setStatus(const QString &status);
    QString status() const;

    QLineEdit *field() const { return m_field; }
    QToolButton *hexSwitch() const { return m_hex; }

signals:
    // Enter or F3 (next), Shift+F3 (previous); in Go To mode, Enter.
    void findRequested(bool backwards);
    void goToRequested();
    // Esc: the controller cancels a running search, or closes the bar.
    void escapePressed();
    // Anything that makes the last search's hits another set.
    void optionsChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Mode m_mode = Mode::Find;
    QLabel *m_caption;
    QLineEdit *m_field;
    QToolButton *m_text;
    QToolButton *m_hex;
    QCheckBox *m_matchCase;
    QCheckBox *m_thisRecordOnly;
    QToolButton *m_close;
    QLabel *m_status;
};
