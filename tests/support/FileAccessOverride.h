#pragma once

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

// Root reads every file whatever its mode; tests of unreadable files take that power away.
// While an object lives this thread works without it; dropForGood() takes it from a child
// about to run another program, for good.
class FileAccessOverride
{
public:
    class Suspended
    {
    public:
        Suspended()
        {
            get(m_saved);
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~kOverrides;
            set(lowered);
        }
        ~Suspended() { set(m_saved); }
        Suspended(const Suspended &) = delete;
        Suspended &operator=(const Suspended &) = delete;

    private:
        __user_cap_data_struct m_saved[2] = {};
    };

    // Async-signal-safe: fit for the time between fork() and exec().
    static void dropForGood()
    {
        prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        __user_cap_data_struct data[2] = {};
        get(data);
        data[0].effective &= ~kOverrides;
        data[0].permitted &= ~kOverrides;
        data[0].inheritable &= ~kOverrides;
        set(data);
    }

private:
    static constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

    static void get(__user_cap_data_struct *data)
    {
        __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capget, &header, data);
    }
    static void set(__user_cap_data_struct *data)
    {
        __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capset, &header, data);
    }
};
