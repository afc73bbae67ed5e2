#include "QtDesktopShell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void QtDesktopShell::open(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address));
}

QtDesktopShell &QtDesktopShell::shared()
{
    static QtDesktopShell shell;
    return shell;
}
