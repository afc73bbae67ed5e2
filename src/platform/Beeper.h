#pragma once

// The system's default beep, behind a seam so that tests can count the beeps.
class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};
