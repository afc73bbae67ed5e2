#pragma once

#include "TempDir.h"

#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ostream>
#include <stdexcept>
#include <string>

extern char **environ;

// Paths that viewers choke on, made in a temp folder that goes away with the scene, together
// with whatever must stay alive meanwhile: a bound socket, a process writing to a file.
class HostileScene
{
public:
    HostileScene() = default;
    ~HostileScene()
    {
        if (m_socket >= 0)
            close(m_socket);
        if (m_writer > 0) {
            close(m_writerInput);
            waitpid(m_writer, nullptr, 0);
        }
    }
    HostileScene(const HostileScene &) = delete;
    HostileScene &operator=(const HostileScene &) = delete;

    const TempDir &dir() const { return m_dir; }

    std::string missing() { return m_dir.path("missing.txt"); }
    std::string folder() { return m_dir.path(); }
    std::string deviceOfZeros() { return "/dev/zero"; }
    std::string deviceOfRandomBytes() { return "/dev/urandom"; }
    std::string missingWithInvalidUtf8() { return m_dir.path("gone-\xFF\xFE\x80.txt"); }

    std::string fifoWithoutWriter()
    {
        const std::string path = m_dir.path("fifo");
        mkfifo(path.c_str(), 0600);
        return path;
    }

    std::string socket()
    {
        const std::string path = m_dir.path("socket");
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        return path;
    }

    // Readable to nobody; root needs FileAccessOverride to be refused.
    std::string unreadable()
    {
        const std::string path = m_dir.write("secret.txt", "A\r\n");
        chmod(path.c_str(), 0);
        return path;
    }

    // A shell holds the file open for appending until the scene ends.
    std::string heldOpenForWriting()
    {
        const std::string path = m_dir.write("written.txt", "A\r\n");
        int input[2];
        int output[2];
        if (pipe(input) != 0 || pipe(output) != 0)
            throw std::runtime_error("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        const char *script = "exec 3>>\"$1\" && echo open && read line";
        const char *argv[] = {"sh", "-c", script, "sh", path.c_str(), nullptr};
        posix_spawn(&m_writer, "/bin/sh", &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        m_writerInput = input[1];
        // The shell says when it has the file open; it then waits for its input to end.
        char said[5] = {};
        const bool open = read(output[0], said, 4) == 4;
        close(output[0]);
        if (!open)
            throw std::runtime_error("the writing shell did not start");
        return path;
    }

private:
    TempDir m_dir;
    int m_socket = -1;
    pid_t m_writer = 0;
    int m_writerInput = -1;
};

// A path that must be refused with the open failure, and how to make it.
struct RefusedPath
{
    const char *name;
    std::string (HostileScene::*make)();
};

inline void PrintTo(const RefusedPath &row, std::ostream *out)
{
    *out << row.name;
}

inline const RefusedPath kRefusedPaths[] = {
    {"MissingName", &HostileScene::missing},
    {"Folder", &HostileScene::folder},
    {"FifoWithoutWriter", &HostileScene::fifoWithoutWriter},
    {"Socket", &HostileScene::socket},
    {"DevZero", &HostileScene::deviceOfZeros},
    {"DevUrandom", &HostileScene::deviceOfRandomBytes},
    {"Unreadable", &HostileScene::unreadable},
    {"HeldOpenForWritingByAnotherProcess", &HostileScene::heldOpenForWriting},
    {"MissingNameOfInvalidUtf8", &HostileScene::missingWithInvalidUtf8},
};

// Every byte a record may hold at every column: block b holds the values from the b-th on.
inline std::string everyByteAtEveryColumn()
{
    std::string values;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            values += static_cast<char>(byte);
    }
    std::string record;
    for (std::size_t block = 0; block < values.size(); ++block) {
        for (std::size_t column = 0; column < 100; ++column)
            record += values[(block + column) % values.size()];
    }
    return record;
}
