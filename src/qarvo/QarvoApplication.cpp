#include "QarvoApplication.h"

#include "ErrorBox.h"

QarvoApplication::QarvoApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // No display name: the platform would append it to every window caption.
    setApplicationName(QStringLiteral("qarvo"));
}

bool QarvoApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    ErrorBox::guard([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
