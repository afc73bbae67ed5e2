#pragma once

#include "ByteSource.h"
#include "LoadControl.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// Reads a source into its final place, piece by piece on a thread of its own, while the caller
// works on the pieces already there, still in cache.
class ReadAhead
{
public:
    // Bytes per read: small enough to be in cache when the caller gets to them.
    static constexpr std::size_t kPieceBytes = std::size_t{2} << 20;

    // Starts reading source into into, which must be empty with room for source.size()
    // bytes; until wait() has said the read ended, only this reader touches into. control,
    // when given, stops the read once it is cancelled.
    ReadAhead(const ByteSource &source, std::string &into, const LoadControl *control);
    // Stops the read, if still going, and waits for its thread.
    ~ReadAhead();

    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // Waits until more than have bytes have arrived or the read has ended. Returns the bytes
    // there, into's first bytes, and whether that is all. Rethrows what the read threw;
    // throws LoadControl::Cancelled when it was cancelled.
    struct Arrived
    {
        std::string_view bytes;
        bool complete;
    };
    Arrived wait(std::uint64_t have);

private:
    void read(const ByteSource &source, std::string &into, const LoadControl *control);
    void publish(std::uint64_t arrived, bool complete);

    static constexpr std::uint64_t kComplete = std::uint64_t{1} << 63;

    const char *m_bytes;
    std::atomic<std::uint64_t> m_state = 0; // bytes arrived, with kComplete once all have
    // A waiter sleeps on these rather than on the atomic, whose wait spins with yields first:
    // on a busy machine each yield hands the core away for a whole time slice.
    std::mutex m_mutex;
    std::condition_variable m_arrival;
    std::atomic<bool> m_stop = false;
    std::exception_ptr m_error; // written before kComplete is published
    std::thread m_thread;
};
