#pragma once

#include "FileAccessOverride.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Runs a program to its end and gathers what it wrote. A program still running after the
// time allowed is ended by its alarm, so a hang shows as a signal instead of a stuck test.
class ChildProcess
{
public:
    struct Options
    {
        std::uint64_t addressSpaceLimit = 0; // bytes; 0 for none
        bool withoutFileAccessOverride = false;
        unsigned secondsAllowed = 120;
        // Takes the standard output piece by piece instead of gathering it.
        std::function<void(std::string_view)> onOutput;
    };

    struct Outcome
    {
        int exitStatus = -1; // -1 when a signal ended it
        int signal = 0;
        std::string out;
        std::string err;
    };

    static Outcome run(const std::vector<std::string> &arguments, const Options &options)
    {
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return {};
        const pid_t pid = fork();
        if (pid == 0)
            becomeChild(argv, options, out, err);
        close(out[1]);
        close(err[1]);
        if (pid < 0) {
            close(out[0]);
            close(err[0]);
            return {};
        }
        Outcome outcome;
        gather(out[0], err[0], options, outcome);
        int status = 0;
        waitpid(pid, &status, 0);
        outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        return outcome;
    }

private:
    // Only async-signal-safe calls between fork() and exec().
    [[noreturn]] static void becomeChild(const std::vector<char *> &argv, const Options &options,
                                         const int out[2], const int err[2])
    {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        if (options.addressSpaceLimit) {
            const rlimit limit = {options.addressSpaceLimit, options.addressSpaceLimit};
            setrlimit(RLIMIT_AS, &limit);
        }
        if (options.withoutFileAccessOverride)
            FileAccessOverride::dropForGood();
        alarm(options.secondsAllowed);
        execv(argv[0], argv.data());
        _exit(127);
    }

    static void gather(int out, int err, const Options &options, Outcome &outcome)
    {
        std::vector<char> buffer(1 << 20);
        pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
        int open = 2;
        while (open > 0 && poll(fds, 2, -1) > 0) {
            for (pollfd &fd : fds) {
                if (fd.fd < 0 || !(fd.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t got = read(fd.fd, buffer.data(), buffer.size());
                if (got <= 0) {
                    close(fd.fd);
                    fd.fd = -1;
                    --open;
                    continue;
                }
                const std::string_view piece(buffer.data(), static_cast<std::size_t>(got));
                if (fd.fd == err)
                    outcome.err += piece;
                else if (options.onOutput)
                    options.onOutput(piece);
                else
                    outcome.out += piece;
            }
        }
    }
};
