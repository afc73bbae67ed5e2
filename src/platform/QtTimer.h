#pragma once

#include "Timer.h"

#include <QTimer>

#include <functional>

// A Timer on QTimer.
class QtTimer final : public Timer
{
public:
    explicit QtTimer(std::function<void()> onTick);

    void setInterval(int milliseconds) override;
    bool start() override;
    void stop() override;

private:
    QTimer m_timer;
};
