#include "MarkingThread.h"

#include "Encoding.h"

#include <system_error>

namespace {

constexpr std::size_t kBatchMarks = 1024;
constexpr std::size_t kMostBatches = 8;

// Thrown through the encoding's scan to end it once the caller wants no more.
struct Stopped
{};

} // namespace

MarkingThread::MarkingThread(const Encoding &encoding, std::string_view text, std::uint64_t from)
{
    try {
        m_thread = std::async(std::launch::async, [=, this, &encoding] {
            try {
                mark(encoding, text, from);
            } catch (...) {
                close();
                throw;
            }
            close();
        });
    } catch (const std::system_error &) {
        // No thread to spare.
    }
}

MarkingThread::~MarkingThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_taken.notify_one();
    if (m_thread.valid())
        m_thread.wait();
}

void MarkingThread::forEach(const MarkSink &take)
{
    for (;;) {
        std::vector<Batch> batches;
        {
            std::unique_lock lock(m_mutex);
            m_arrived.wait(lock, [this] { return !m_batches.empty() || m_done; });
            batches.swap(m_batches);
        }
        m_taken.notify_one();
        if (batches.empty())
            break;
        for (const Batch &batch : batches) {
            for (const Mark &mark : batch)
                take(mark);
        }
    }
    m_thread.get();
}

void MarkingThread::mark(const Encoding &encoding, std::string_view text, std::uint64_t from)
{
    Batch batch;
    batch.reserve(kBatchMarks);
    try {
        encoding.forEachMark(text.substr(from), [&](const Mark &mark) {
            batch.push_back({from + mark.offset, mark.length, mark.kind});
            if (batch.size() == kBatchMarks)
                hand(batch);
        });
        if (!batch.empty())
            hand(batch);
    } catch (const Stopped &) {
    }
}

// Passes batch on, when there is room for it, and leaves it empty.
void MarkingThread::hand(Batch &batch)
{
    {
        std::unique_lock lock(m_mutex);
        m_taken.wait(lock, [this] { return m_batches.size() < kMostBatches || m_stop; });
        if (m_stop)
            throw Stopped();
        m_batches.push_back(std::move(batch));
    }
    m_arrived.notify_one();
    batch = Batch();
    batch.reserve(kBatchMarks);
}

void MarkingThread::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_arrived.notify_one();
}
