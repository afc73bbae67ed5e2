#include "ReadAhead.h"

#include <algorithm>

ReadAhead::ReadAhead(const ByteSource &source, std::string &into, const LoadControl *control)
    : m_bytes(into.data())
{
    m_thread = std::thread([this, &source, &into, control] { read(source, into, control); });
}

ReadAhead::~ReadAhead()
{
    m_stop.store(true, std::memory_order_relaxed);
    m_thread.join();
}

ReadAhead::Arrived ReadAhead::wait(std::uint64_t have)
{
    const auto arrived = [&](std::uint64_t state) {
        return (state & ~kComplete) > have || (state & kComplete);
    };
    std::uint64_t state = m_state.load(std::memory_order_acquire);
    if (!arrived(state)) {
        std::unique_lock lock(m_mutex);
        m_arrival.wait(lock, [&] { return arrived(state = m_state.load()); });
    }
    if ((state & kComplete) && m_error)
        std::rethrow_exception(m_error);
    return {std::string_view(m_bytes, state & ~kComplete), (state & kComplete) != 0};
}

void ReadAhead::read(const ByteSource &source, std::string &into, const LoadControl *control)
{
    try {
        const std::uint64_t size = source.size();
        while (into.size() < size) {
            if (m_stop.load(std::memory_order_relaxed) || (control && control->cancelled()))
                throw LoadControl::Cancelled();
            const std::size_t offset = into.size();
            const auto wanted =
                static_cast<std::size_t>(std::min<std::uint64_t>(kPieceBytes, size - offset));
            // Within the room reserved, so the bytes stay where the caller sees them. The
            // zeros cost little: the piece is in cache when the read overwrites them.
            into.append(wanted, '\0');
            const std::size_t got = source.readAt(offset, into.data() + offset, wanted);
            into.resize(offset + got);
            if (got < wanted)
                break; // the file shrank since it was opened
            publish(into.size(), false);
        }
        publish(into.size(), true);
    } catch (...) {
        m_error = std::current_exception();
        publish(into.size(), true);
    }
}

void ReadAhead::publish(std::uint64_t arrived, bool complete)
{
    {
        // Under the lock, so that a waiter cannot miss the news between its look and its sleep.
        const std::lock_guard lock(m_mutex);
        m_state.store(arrived | (complete ? kComplete : 0), std::memory_order_release);
    }
    m_arrival.notify_all();
}
