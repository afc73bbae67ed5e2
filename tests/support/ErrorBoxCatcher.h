#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <vector>

// Answers every message box that comes up while it lives: notes what it showed, presses OK.
class ErrorBoxCatcher
{
public:
    struct Shown
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        Qt::WindowModality modality;
        QWidget *mouseGrabber;
    };

    ErrorBoxCatcher()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }

    const std::vector<Shown> &shown() const { return m_shown; }
    QStringList texts() const
    {
        QStringList texts;
        for (const Shown &box : m_shown)
            texts << box.text;
        return texts;
    }

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                           box->windowModality(), QWidget::mouseGrabber()});
        box->button(QMessageBox::Ok)->click();
    }

    QTimer m_timer;
    std::vector<Shown> m_shown;
};
