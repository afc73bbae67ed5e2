#pragma once

#include "FindHit.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

// A search on a thread of its own, so that the window keeps going: it can be asked how far
// it got, and told to stop. What it finds, or that it stopped, goes to done on that thread.
class FindTask
{
public:
    using Job = std::function<void(const FindProgress &progress)>;

    explicit FindTask(Job job);
    // Stops the search and waits for it.
    ~FindTask();
    FindTask(const FindTask &) = delete;
    FindTask &operator=(const FindTask &) = delete;

    // The job's progress stops it at its next look, within about a millisecond.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }
    // Permille of the bytes of the job's current scan.
    int permille() const { return m_permille; }

private:
    std::atomic<bool> m_cancelled = false;
    std::atomic<int> m_permille = 0;
    std::thread m_thread;
};
