#pragma once

#include "DesktopShell.h"

// The desktop's handlers, through Qt's desktop services.
class QtDesktopShell final : public DesktopShell
{
public:
    void open(const QString &address) override;

    // The one instance that windows use unless they are given another.
    static QtDesktopShell &shared();
};
