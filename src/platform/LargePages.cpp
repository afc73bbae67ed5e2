#include "LargePages.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

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
