#include "QtTimerFactory.h"

#include "QtTimer.h"

std::unique_ptr<Timer> QtTimerFactory::createTimer(std::function<void()> onTick)
{
    return std::make_unique<QtTimer>(std::move(onTick));
}

QtTimerFactory &QtTimerFactory::shared()
{
    static QtTimerFactory factory;
    return factory;
}
