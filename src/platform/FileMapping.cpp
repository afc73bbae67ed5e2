#include "FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<FileMapping> FileMapping::map(int fd, std::uint64_t size, const std::string &path)
{
    if (size == 0 || size > SIZE_MAX)
        return nullptr;
    const auto length = static_cast<std::size_t>(size);
    void *begin = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    if (begin == MAP_FAILED)
        return nullptr;
    // A descriptor of our own, so that the size can be asked after the caller's is closed.
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        ::munmap(begin, length);
        return nullptr;
    }
    std::unique_ptr<FileMapping> mapping(new FileMapping(begin, length, own, path));
    const std::optional<std::size_t> slot = MappingGuard::guard(mapping->m_range);
    if (!slot)
        return nullptr;
    mapping->m_slot = *slot;
    return mapping;
}

FileMapping::FileMapping(void *begin, std::size_t size, int fd, std::string path)
    : m_range{begin, size, &m_broken}, m_fd(fd), m_path(std::move(path)),
      m_slot(MappingGuard::kMostRanges)
{}

FileMapping::~FileMapping()
{
    if (m_slot < MappingGuard::kMostRanges)
        MappingGuard::release(m_slot);
    ::munmap(m_range.begin, m_range.size);
    ::close(m_fd);
}

bool FileMapping::broken() const
{
    if (faulted())
        return true;
    struct stat status = {};
    if (::fstat(m_fd, &status) != 0)
        return true;
    return static_cast<std::uint64_t>(status.st_size) < m_range.size;
}
