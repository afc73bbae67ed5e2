#pragma once

#include "Mark.h"

#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <string_view>
#include <vector>

class Encoding;

// The marks of a text from a unit start on, found on a thread of its own while the caller
// marks the bytes before it, and kept until the caller takes them. What is kept stays a few
// thousand marks, whatever the text: the thread waits for the caller when they are there.
class MarkingThread
{
public:
    // encoding must mark on many threads at once.
    MarkingThread(const Encoding &encoding, std::string_view text, std::uint64_t from);
    ~MarkingThread();
    MarkingThread(const MarkingThread &) = delete;
    MarkingThread &operator=(const MarkingThread &) = delete;

    // Whether a thread could be had; without one the caller marks the text alone.
    bool started() const { return m_thread.valid(); }

    // Calls take with each mark of the text from from on, in order, as they come; offsets
    // count from the text's first byte. Rethrows what the thread threw. Once only.
    void forEach(const MarkSink &take);

private:
    using Batch = std::vector<Mark>;

    void mark(const Encoding &encoding, std::string_view text, std::uint64_t from);
    void hand(Batch &batch);
    void close();

    std::future<void> m_thread;
    std::mutex m_mutex;
    std::condition_variable m_arrived; // a batch, or the end
    std::condition_variable m_taken;   // room for a batch, or the caller wants no more
    std::vector<Batch> m_batches;
    bool m_done = false;
    bool m_stop = false;
};
