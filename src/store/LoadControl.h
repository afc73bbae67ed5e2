#pragma once

#include <atomic>
#include <cstdint>
#include <exception>

// Progress and Cancel of a load or a re-framing that runs on another thread. Every member may
// be used from any thread.
class LoadControl
{
public:
    // Ends a load that was cancelled; the store it was loading into is unchanged.
    class Cancelled : public std::exception
    {
    public:
        const char *what() const noexcept override { return "load cancelled"; }
    };

    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    void throwIfCancelled() const
    {
        if (cancelled())
            throw Cancelled();
    }

    // Bytes: those dealt with so far, of all there are to deal with.
    std::uint64_t done() const { return m_done.load(std::memory_order_relaxed); }
    std::uint64_t total() const { return m_total.load(std::memory_order_relaxed); }
    void begin(std::uint64_t total)
    {
        m_total.store(total, std::memory_order_relaxed);
        m_done.store(0, std::memory_order_relaxed);
    }
    void advance(std::uint64_t done) { m_done.store(done, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled = false;
    std::atomic<std::uint64_t> m_done = 0;
    std::atomic<std::uint64_t> m_total = 0;
};
