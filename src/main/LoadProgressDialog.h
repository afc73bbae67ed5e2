#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QProgressBar;

// Bytes done of a load that takes long, and its Cancel button; Esc and the close box cancel
// too. Modal for the whole program while it shows.
class LoadProgressDialog : public QDialog
{
    Q_OBJECT

public:
    // what: the line above the bar, such as "Loading /home/file.dat".
    LoadProgressDialog(const QString &what, QWidget *parent);

    void setProgress(std::uint64_t done, std::uint64_t total);
    QPushButton *cancelButton() const { return m_cancel; }

    // Stays up until the load has stopped; only asks for it.
    void reject() override;

signals:
    void cancelRequested();

private:
    QLabel *m_bytes;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
};
