#pragma once

#include "Beeper.h"

// The desktop's bell, through QApplication.
class QtBeeper final : public Beeper
{
public:
    void beep() override;

    // The one instance that widgets use unless they are given another.
    static QtBeeper &shared();
};
