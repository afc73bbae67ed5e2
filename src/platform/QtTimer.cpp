#include "QtTimer.h"

QtTimer::QtTimer(std::function<void()> onTick)
{
    QObject::connect(&m_timer, &QTimer::timeout, std::move(onTick));
}

void QtTimer::setInterval(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

bool QtTimer::start()
{
    m_timer.start();
    // QTimer reports no error of its own: a timer the event dispatcher refused has no id.
    return m_timer.timerId() != -1;
}

void QtTimer::stop()
{
    m_timer.stop();
}
