#include "FindTask.h"

FindTask::FindTask(Job job)
{
    m_thread = std::thread([this, job = std::move(job)] {
        job([this](std::uint64_t done, std::uint64_t total) {
            m_permille = total == 0 ? 1000 : static_cast<int>(done * 1000 / total);
            return !m_cancelled;
        });
    });
}

FindTask::~FindTask()
{
    cancel();
    m_thread.join();
}
