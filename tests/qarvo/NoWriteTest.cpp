// The viewer never writes: the real program goes through a whole use on a virtual display,
// driven by keys, under strace; nothing may be opened for writing, made, renamed or removed
// outside Qt's runtime folder, and the files it read keep their bytes and times.
#include "ChildProcess.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

constexpr const char *kTracedCalls = "trace=openat,open,creat,truncate,rename,renameat,renameat2,"
                                     "unlink,unlinkat,mkdir,mkdirat,link,linkat,symlink,symlinkat";
constexpr const char *kOpenFlagsThatWrite = "O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_TMPFILE|O_APPEND";

bool onPath(const std::string &program)
{
    std::istringstream folders(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A file's bytes and its modification and change times, to the nanosecond.
struct FileState
{
    std::string bytes;
    std::int64_t modified = 0;
    std::int64_t changed = 0;

    static FileState of(const std::string &path)
    {
        struct stat status = {};
        stat(path.c_str(), &status);
        return {readFile(path), status.st_mtim.tv_sec * 1'000'000'000 + status.st_mtim.tv_nsec,
                status.st_ctim.tv_sec * 1'000'000'000 + status.st_ctim.tv_nsec};
    }
    bool operator==(const FileState &) const = default;
};

// An X server of its own, on the first free display, until the object goes.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(ready[1], 3);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0",
                   "1280x1024x24", nullptr);
            _exit(127);
        }
        close(ready[1]);
        // The server writes its display number and then a line end once it takes clients;
        // it dies if the pipe closes in between.
        std::string number;
        char byte = 0;
        while (read(ready[0], &byte, 1) == 1 && byte != '\n')
            number += byte;
        if (byte == '\n')
            m_name = ":" + number;
        close(ready[0]);
    }
    ~VirtualDisplay()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    const std::string &name() const { return m_name; }

private:
    pid_t m_pid = -1;
    std::string m_name;
};

// What strace saw, one call a line, with the calls that other threads cut in two joined.
std::vector<std::string> tracedCalls(const std::string &log)
{
    static const std::regex resumed(R"(^(\d+) <\.\.\. \w+ resumed>(.*)$)");
    std::map<std::string, std::string> unfinished;
    std::vector<std::string> calls;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        const std::size_t cut = line.find(" <unfinished ...>");
        if (cut != std::string::npos)
            unfinished[line.substr(0, line.find(' '))] = line.substr(0, cut);
        else if (std::regex_match(line, match, resumed))
            calls.push_back(unfinished[match[1]] + match[2].str());
        else
            calls.push_back(line);
    }
    return calls;
}

// The calls that changed the file system outside the allowed folders and the devices.
std::vector<std::string> writesOutside(const std::vector<std::string> &calls,
                                       const std::string &allowedFolder)
{
    static const std::regex call(R"(^\d+ +(\w+)\((.*)\) += (-?\d+).*$)");
    static const std::regex openFlags(kOpenFlagsThatWrite);
    static const std::regex quoted(R"x("((?:[^"\\]|\\.)*)")x");
    std::vector<std::string> writes;
    for (const std::string &line : calls) {
        std::smatch match;
        if (!std::regex_match(line, match, call) || std::stoll(match[3]) < 0)
            continue;
        const std::string name = match[1];
        const std::string arguments = match[2];
        if (name.starts_with("open") && !std::regex_search(arguments, openFlags))
            continue;
        for (auto path = std::sregex_iterator(arguments.begin(), arguments.end(), quoted);
             path != std::sregex_iterator(); ++path) {
            const std::string written = (*path)[1];
            if (!written.starts_with(allowedFolder + "/") && !written.starts_with("/dev/")) {
                writes.push_back(line);
                break;
            }
        }
    }
    return writes;
}

class NoWrite : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"strace", "Xvfb", "xdotool"}) {
            if (!onPath(tool))
                GTEST_SKIP() << tool << " is not installed: the no-write run needs it";
        }
        if (m_display.name().empty())
            GTEST_SKIP() << "Xvfb did not start";
        mkdir(m_dir.path("home").c_str(), 0700);
        mkdir(runtimeFolder().c_str(), 0700);
        setenv("DISPLAY", m_display.name().c_str(), 1);
        setenv("HOME", m_dir.path("home").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtimeFolder().c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        // Leaks are for the other tests to find; here the exit status must be the program's.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    }

    std::string runtimeFolder() const { return m_dir.path("runtime"); }

    // Runs xdotool with arguments; true when it succeeded.
    bool xdotool(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "/usr/bin/env");
        arguments.insert(arguments.begin() + 1, "xdotool");
        ChildProcess::Options options;
        options.secondsAllowed = 30;
        const ChildProcess::Outcome outcome = ChildProcess::run(arguments, options);
        m_lastOutput = outcome.out;
        return outcome.exitStatus == 0;
    }

    // The window of that title, once it is shown.
    std::string windowTitled(const std::string &title)
    {
        xdotool({"search", "--sync", "--onlyvisible", "--name", title});
        return m_lastOutput.substr(0, m_lastOutput.find('\n'));
    }

    // Asks the display until no window of that title is shown any more.
    bool closes(const std::string &title)
    {
        for (int ask = 0; ask < 500; ++ask) {
            if (!xdotool({"search", "--onlyvisible", "--name", title}))
                return true;
        }
        return false;
    }

    // Keys go to the window that has the display's focus; without a window manager nobody
    // hands it back when a dialog closes.
    void keysTo(const std::string &window, std::vector<std::string> keys)
    {
        xdotool({"windowfocus", "--sync", window});
        keys.insert(keys.begin(), "key");
        xdotool(keys);
    }

    TempDir m_dir;
    VirtualDisplay m_display;
    std::string m_lastOutput;
};

TEST_F(NoWrite, AWholeUseWritesNothingAndLeavesTheFilesAsTheyWere)
{
    const std::string first = m_dir.write("first.txt", "one\r\ntwo\r\nthree\r\n");
    const std::string second = m_dir.write("second.txt", "A\nB\n");
    const FileState firstBefore = FileState::of(first);
    const FileState secondBefore = FileState::of(second);
    const std::string trace = m_dir.path("trace");
    const pid_t viewer = fork();
    if (viewer == 0) {
        execlp("strace", "strace", "-f", "-o", trace.c_str(), "-e", kTracedCalls, "timeout", "-s",
               "KILL", "120", QARVO, first.c_str(), nullptr);
        _exit(127);
    }

    const std::string main = windowTitled("^qarvo Version");
    keysTo(main, {"Tab", "3", "Up", "Down", "BackSpace", "2"});
    keysTo(main, {"alt+o"});
    const std::string open = windowTitled("^Open$");
    xdotool({"windowfocus", "--sync", open});
    xdotool({"type", "--delay", "5", second});
    keysTo(open, {"Return"});
    const bool openCloses = closes("^Open$");
    keysTo(main, {"alt+a"});
    const std::string about = windowTitled("^バージョン情報$");
    keysTo(about, {"Return"});
    const bool aboutCloses = closes("^バージョン情報$");
    keysTo(main, {"alt+x"});
    int status = -1;
    waitpid(viewer, &status, 0);

    const std::vector<std::string> calls = tracedCalls(readFile(trace));
    EXPECT_TRUE(openCloses && aboutCloses);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_TRUE(std::ranges::any_of(calls, [&](const std::string &call) {
        return call.find('"' + second + "\", O_RDONLY") != std::string::npos;
    })) << "the second file was never opened";
    EXPECT_EQ(writesOutside(calls, runtimeFolder()), std::vector<std::string>{});
    EXPECT_TRUE(FileState::of(first) == firstBefore);
    EXPECT_TRUE(FileState::of(second) == secondBefore);
}

} // namespace
