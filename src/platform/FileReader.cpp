#include "FileReader.h"

#include "Failure.h"
#include "LargePages.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads go through a small buffer that stays in cache, so the big one is written only once
// and never zero-filled first.
constexpr std::size_t kChunkBytes = 256 * 1024;

// A lease break in the moment we hold the lease is signalled; SIGIO would end the process,
// SIGURG is ignored unless a handler is installed.
constexpr int kLeaseBreakSignal = SIGURG;

} // namespace

FileReader::FileReader(const std::string &path) : m_path(path)
{
    // Opening is itself an act for what is not a plain file: it releases a FIFO's waiting
    // writer, and some devices rewind or reset when opened and closed. Those are refused
    // unopened; inspect() checks again what was opened.
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        fail();
    // O_NONBLOCK: should a FIFO take the file's place meanwhile, opening it must not wait.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        fail();
    try {
        inspect();
    } catch (...) {
        ::close(m_fd);
        throw;
    }
}

FileReader::~FileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void FileReader::inspect()
{
    struct stat status = {};
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))
        fail();
    refuseIfWritten();
    m_size = static_cast<std::uint64_t>(status.st_size);
}

void FileReader::refuseIfWritten() const
{
    // The kernel grants a read lease only while nobody has the file open for writing.
    // Without the right to leases (not the owner, or a file system without them) we
    // cannot tell, and read anyway.
    if (::fcntl(m_fd, F_SETSIG, kLeaseBreakSignal) != 0)
        return;
    if (::fcntl(m_fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(m_fd, F_SETLEASE, F_UNLCK);
        return;
    }
    if (errno == EAGAIN)
        fail();
}

std::string FileReader::readAll() const
{
    std::string bytes;
    if (m_size > bytes.max_size())
        throw std::bad_alloc();
    bytes.reserve(static_cast<std::size_t>(m_size));
    LargePages::prefer(bytes.data(), bytes.capacity());
    const auto chunk = std::make_unique_for_overwrite<char[]>(kChunkBytes);
    while (bytes.size() < m_size) {
        const auto wanted = std::min<std::uint64_t>(kChunkBytes, m_size - bytes.size());
        const ssize_t got = ::pread(m_fd, chunk.get(), static_cast<std::size_t>(wanted),
                                    static_cast<off_t>(bytes.size()));
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail();
        bytes.append(chunk.get(), static_cast<std::size_t>(got));
    }
    return bytes;
}

void FileReader::fail() const
{
    throw Failure("ファイル " + m_path + " は開けません");
}

std::size_t FileReader::readAt(std::uint64_t offset, char *out, std::size_t count) const
{
    std::size_t got = 0;
    while (got < count) {
        const ssize_t read =
            ::pread(m_fd, out + got, count - got, static_cast<off_t>(offset + got));
        if (read == 0)
            break;
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            fail();
        got += static_cast<std::size_t>(read);
    }
    return got;
}

std::unique_ptr<FileMapping> FileReader::map() const
{
    return FileMapping::map(m_fd, m_size, m_path);
}
