#pragma once

#include "Beeper.h"

// Counts the beeps instead of sounding them.
class FakeBeeper final : public Beeper
{
public:
    void beep() override { ++count; }

    int count = 0;
};
