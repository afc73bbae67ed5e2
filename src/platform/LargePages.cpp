#include "LargePages.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Transparent huge pages on x86-64 (and arm64 with 4 KiB pages). Aligning a buffer to them
// lets every part of it, its first and last megabytes too, be backed by them.
constexpr std::size_t kLargePageBytes = 2 * 1024 * 1024;

} // namespace

void LargePages::Deleter::operator()(void *data) const
{
    ::operator delete (data, std::align_val_t{m_alignment});
}

std::size_t LargePages::alignmentFor(std::size_t bytes)
{
    return bytes >= kLargePageBytes ? kLargePageBytes : alignof(std::max_align_t);
}

void *LargePages::allocateBytes(std::size_t bytes, std::size_t alignment)
{
    void *data = ::operator new (bytes, std::align_val_t{alignment});
    prefer(data, bytes);
    return data;
}

void LargePages::prefer(const void *data, std::size_t size)
{
    static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const auto alignedBegin = (begin + pageSize - 1) & ~(pageSize - 1);
    const auto end = begin + size;
    if (alignedBegin >= end)
        return;
    // Only advice: a kernel without transparent huge pages refuses it, and that is fine.
    madvise(reinterpret_cast<void *>(alignedBegin), end - alignedBegin, MADV_HUGEPAGE);
}
