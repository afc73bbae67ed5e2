#pragma once

#include <QLineEdit>

class QLabel;

// A read-only field that looks like a link, with its caption label to its left in the parent
// that the field is created in: the label follows the field whenever either of them moves or
// changes size. A double click is reported, not used to select. Never shorter than a line of
// its font.
class LinkField : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString labelText READ labelText WRITE setLabelText)

public:
    // Pixels between the label's right edge and the field.
    static constexpr int kLabelSpacing = 10;

    explicit LinkField(QWidget *parent = nullptr);

    QLabel *EditLabel() const { return m_label; }
    QString labelText() const;
    void setLabelText(const QString &text);

signals:
    void doubleClicked();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void keepTextVisible();
    void placeLabel();

    QLabel *m_label;
};
