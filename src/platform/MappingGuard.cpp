#include "MappingGuard.h"

#include <array>
#include <csignal>
#include <cstdint>

#include <sys/mman.h>

namespace {

std::array<std::atomic<const MappingGuard::Range *>, MappingGuard::kMostRanges> g_ranges{};
struct sigaction g_previous = {};

static_assert(std::atomic<const MappingGuard::Range *>::is_always_lock_free);

// What would have happened without us. A sanitizer's handler reports the fault; the default
// action is had by restoring it and letting the faulting read fault again on return.
void passOn(int signal, siginfo_t *info, void *context)
{
    if ((g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_sigaction) {
        g_previous.sa_sigaction(signal, info, context);
        return;
    }
    if (g_previous.sa_handler == SIG_IGN && info->si_code <= 0)
        return; // sent, and ignored before us
    // A fault cannot be ignored: the kernel would end the process all the same.
    if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
        return;
    }
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0)
        raise(signal); // sent, not a fault: nothing faults again
}

// Zeros in place of the guarded range that holds address, which is then marked broken;
// false when no range holds it or the zeros cannot be had.
bool replaceByZeros(const void *address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (const auto &slot : g_ranges) {
        const MappingGuard::Range *range = slot.load(std::memory_order_acquire);
        if (!range || at - reinterpret_cast<std::uintptr_t>(range->begin) >= range->size)
            continue;
        constexpr int kZeros = MAP_FIXED | MAP_ANONYMOUS | MAP_PRIVATE;
        if (mmap(range->begin, range->size, PROT_READ, kZeros, -1, 0) == MAP_FAILED)
            return false;
        range->broken->store(true, std::memory_order_release);
        return true;
    }
    return false;
}

// Runs inside the signal: no allocation, no locks, nothing but reads of the table, one mmap
// and one store. si_code above 0: a fault, not a signal sent.
void onBusError(int signal, siginfo_t *info, void *context)
{
    if (info->si_code > 0 && replaceByZeros(info->si_addr))
        return;
    passOn(signal, info, context);
}

bool install()
{
    struct sigaction action = {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGBUS, &action, &g_previous) == 0;
}

} // namespace

std::optional<std::size_t> MappingGuard::guard(const Range &range)
{
    static const bool installed = install();
    if (!installed)
        return std::nullopt;
    for (std::size_t slot = 0; slot < g_ranges.size(); ++slot) {
        const Range *free = nullptr;
        if (g_ranges[slot].compare_exchange_strong(free, &range, std::memory_order_release))
            return slot;
    }
    return std::nullopt;
}

void MappingGuard::release(std::size_t slot)
{
    g_ranges[slot].store(nullptr, std::memory_order_release);
}
