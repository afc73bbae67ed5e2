#pragma once

#include "TimerFactory.h"

// Makes QtTimers.
class QtTimerFactory final : public TimerFactory
{
public:
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;

    // The one instance that widgets use unless they are given another.
    static QtTimerFactory &shared();
};
