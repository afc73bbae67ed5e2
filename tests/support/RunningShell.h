#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

// A shell running script, with one argument, until the object goes.
class RunningShell
{
public:
    RunningShell(const std::string &script, const std::string &argument) : m_pid(fork())
    {
        if (m_pid == 0) {
            execl("/bin/sh", "sh", "-c", script.c_str(), "sh", argument.c_str(), nullptr);
            _exit(127);
        }
    }
    ~RunningShell()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    RunningShell(const RunningShell &) = delete;
    RunningShell &operator=(const RunningShell &) = delete;

private:
    pid_t m_pid;
};

// Grows its file by two lines and empties it again, over and over.
inline constexpr const char *kGrowAndEmpty =
    "while :; do printf 'ABCDEFGH\\nABCDEFGH\\n' >> \"$1\"; : > \"$1\"; done";
