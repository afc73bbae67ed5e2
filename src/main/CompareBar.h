#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

// The bar that floats over the dump area's top right while two records are compared: where
// both come from, how they differ, and a line that tells what went wrong. CompareController
// fills it.
class CompareBar : public QFrame
{
    Q_OBJECT

public:
    explicit CompareBar(QWidget *parent = nullptr);

    // Shows the bar over the other floating bars.
    void open();
    void setSources(const QString &a, const QString &b);
    void setSummary(const QString &summary);
    void setStatus(const QString &status);

    QString sources() const;
    QString summary() const;
    QString status() const;

signals:
    // Its close button.
    void closeRequested();

private:
    QLabel *m_sources;
    QLabel *m_summary;
    QLabel *m_status;
    QToolButton *m_close;
};
