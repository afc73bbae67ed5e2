#pragma once

// A repeating timer on the user-interface thread; its ticks arrive as events of the event loop.
class Timer
{
public:
    virtual ~Timer() = default;
    // Milliseconds between ticks; a running timer starts over with the new interval.
    virtual void setInterval(int milliseconds) = 0;
    // False when the system had no timer to give; the timer then stays stopped.
    virtual bool start() = 0;
    virtual void stop() = 0;
};
