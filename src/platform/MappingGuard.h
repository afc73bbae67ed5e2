#pragma once

#include <atomic>
#include <cstddef>
#include <optional>

// The process's one SIGBUS handler for mapped files that may shrink underneath: a read past
// the file's new end faults. The handler finds the mapping that holds the faulting address,
// maps zero pages over all of it, marks it broken and returns, so that the read goes on and
// sees zeros. A fault outside every guarded mapping goes to the handler there was before, or
// to the default action: a real fault stays a crash.
class MappingGuard
{
public:
    // A guarded range; it must stay where it is while guarded.
    struct Range
    {
        void *begin = nullptr;
        std::size_t size = 0;
        std::atomic<bool> *broken = nullptr;
    };

    // Most ranges guarded at once; the table is fixed so that the handler reads it lock-free.
    static constexpr std::size_t kMostRanges = 128;

    // Guards range, installing the handler on first use. Returns its slot for release(), or
    // nothing when every slot is taken or the handler cannot be installed.
    static std::optional<std::size_t> guard(const Range &range);
    // Stops guarding the range in slot; call it before the range is unmapped.
    static void release(std::size_t slot);
};
