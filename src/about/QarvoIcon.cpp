#include "QarvoIcon.h"

// Outside any namespace, as Q_INIT_RESOURCE requires; the images live in a static library.
static void initResources()
{
    Q_INIT_RESOURCE(QarvoIcon);
}

QIcon QarvoIcon::icon()
{
    initResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/qarvo-%1.png").arg(size), QSize(size, size));
    return icon;
}
