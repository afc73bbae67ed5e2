#pragma once

#include "MappingGuard.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A regular file's bytes mapped read-only, guarded by MappingGuard: when the file shrinks
// underneath, reads past its new end see zeros instead of ending the process, and the
// mapping says it broke. Nothing is ever written through it.
class FileMapping
{
public:
    // The first size bytes of the open regular file fd; path names it in messages. Null
    // where they cannot be mapped and must be read: a size of 0, a file system that refuses,
    // no room left in the guard's table.
    static std::unique_ptr<FileMapping> map(int fd, std::uint64_t size, const std::string &path);
    ~FileMapping();

    FileMapping(const FileMapping &) = delete;
    FileMapping &operator=(const FileMapping &) = delete;

    std::string_view bytes() const
    {
        return {static_cast<const char *>(m_range.begin), m_range.size};
    }
    const std::string &path() const { return m_path; }

    // Whether a read faulted past the file's end and saw zeros: one atomic load.
    bool faulted() const { return m_broken.load(std::memory_order_acquire); }
    // Whether the bytes may no longer be the file's: faulted, or the file is now shorter than
    // mapped, as a cut within the last page leaves it without a fault. Asks the system.
    bool broken() const;

private:
    FileMapping(void *begin, std::size_t size, int fd, std::string path);

    std::atomic<bool> m_broken = false;
    MappingGuard::Range m_range;
    int m_fd;
    std::string m_path;
    std::size_t m_slot; // kMostRanges until guarded
};
