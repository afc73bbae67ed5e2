#pragma once

#include "TimerFactory.h"

#include <algorithm>
#include <vector>

// Timers on a clock that only moves when a test calls advance(), so that every tick is exact.
class FakeTimerFactory final : public TimerFactory
{
public:
    class FakeTimer final : public Timer
    {
    public:
        FakeTimer(FakeTimerFactory &factory, std::function<void()> onTick)
            : m_factory(factory), m_onTick(std::move(onTick))
        {
            m_factory.m_timers.push_back(this);
        }
        ~FakeTimer() override { std::erase(m_factory.m_timers, this); }

        void setInterval(int milliseconds) override
        {
            interval = milliseconds;
            due = m_factory.m_now + interval; // a running timer starts over, as QTimer does
        }
        bool start() override
        {
            if (m_factory.failStart)
                return false;
            active = true;
            due = m_factory.m_now + interval;
            return true;
        }
        void stop() override { active = false; }
        void tick() { m_onTick(); }

        int interval = 0;
        int due = 0;
        bool active = false;

    private:
        FakeTimerFactory &m_factory;
        std::function<void()> m_onTick;
    };

    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override
    {
        if (refuse)
            return nullptr;
        return std::make_unique<FakeTimer>(*this, std::move(onTick));
    }

    // Moves the clock on, firing every tick that falls due on the way, in time order.
    void advance(int milliseconds)
    {
        const int end = m_now + milliseconds;
        while (FakeTimer *next = nextDue(end)) {
            m_now = next->due;
            next->due = m_now + next->interval;
            next->tick();
        }
        m_now = end;
    }

    bool anyActive() const
    {
        return std::any_of(m_timers.begin(), m_timers.end(),
                           [](const FakeTimer *t) { return t->active; });
    }
    int timerCount() const { return static_cast<int>(m_timers.size()); }

    bool refuse = false;    // the system has no timer to give
    bool failStart = false; // the timer exists but will not start

private:
    FakeTimer *nextDue(int end) const
    {
        FakeTimer *next = nullptr;
        for (FakeTimer *t : m_timers) {
            if (t->active && t->due <= end && (!next || t->due < next->due))
                next = t;
        }
        return next;
    }

    int m_now = 0;
    std::vector<FakeTimer *> m_timers;
};
