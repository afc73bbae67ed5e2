#pragma once

#include <QIcon>

// The program's icon: its own pictures at 16, 32 and up to 256 pixels.
class QarvoIcon
{
public:
    static QIcon icon();
};
