#pragma once

#include "Timer.h"

#include <functional>
#include <memory>

// Makes the timers of the widgets, behind a seam so that tests can tick them by hand.
class TimerFactory
{
public:
    virtual ~TimerFactory() = default;
    // A stopped timer that calls onTick at every tick; null when the system has none to give.
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTick) = 0;
};
