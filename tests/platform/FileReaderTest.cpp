#include "FileReader.h"

#include "FailureMessage.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string cannotOpen(const std::string &path)
{
    return "ファイル " + path + " は開けません";
}

// A temp folder and a descriptor the case may keep open while the file is opened.
struct Scene
{
    TempDir dir;
    int heldFd = -1;

    ~Scene()
    {
        if (heldFd >= 0)
            close(heldFd);
    }
};

struct RefusedCase
{
    const char *name;
    std::string (*make)(Scene &scene);
};

void PrintTo(const RefusedCase &row, std::ostream *out)
{
    *out << row.name;
}

class FileReaderRefuses : public testing::TestWithParam<RefusedCase>
{};

std::string makeMissingFile(Scene &scene)
{
    return scene.dir.path("missing.txt");
}

std::string makeFolder(Scene &scene)
{
    return scene.dir.path();
}

std::string makeFifo(Scene &scene)
{
    const std::string path = scene.dir.path("fifo");
    mkfifo(path.c_str(), 0600);
    return path;
}

std::string makeDevice(Scene &)
{
    return "/dev/null";
}

std::string makeSocket(Scene &scene)
{
    const std::string path = scene.dir.path("socket");
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    scene.heldFd = socket(AF_UNIX, SOCK_STREAM, 0);
    bind(scene.heldFd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    return path;
}

std::string makeFileOpenForWriting(Scene &scene)
{
    const std::string path = scene.dir.write("written.txt", "A\r\n");
    scene.heldFd = open(path.c_str(), O_WRONLY | O_APPEND);
    return path;
}

} // namespace

TEST(FileReader, ReadsEveryByteUnchangedAcrossManyChunks)
{
    TempDir dir;
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    const std::string path = dir.write("big.bin", bytes);

    const FileReader reader(path);

    EXPECT_EQ(reader.size(), bytes.size());
    EXPECT_EQ(reader.readAll(), bytes);
}

TEST(FileReader, GivesTheSizeTakenAtOpeningWhenTheFileGrows)
{
    TempDir dir;
    const std::string path = dir.write("grows.txt", "ABC");
    const FileReader reader(path);

    std::ofstream(path, std::ios::app) << "DEF";

    EXPECT_EQ(reader.readAll(), "ABC");
}

TEST(FileReader, GivesTheBytesStillThereWhenTheFileShrinks)
{
    TempDir dir;
    const std::string path = dir.write("shrinks.txt", "ABCDEF");
    const FileReader reader(path);

    ASSERT_EQ(truncate(path.c_str(), 2), 0);

    EXPECT_EQ(reader.readAll(), "AB");
}

TEST(FileReader, OtherReadersDoNotStopIt)
{
    TempDir dir;
    const std::string path = dir.write("shared.txt", "A");
    const int otherReader = open(path.c_str(), O_RDONLY);

    EXPECT_EQ(FileReader(path).readAll(), "A");

    close(otherReader);
}

TEST(FileReader, LeavesTheFileOpenToWritersAfterwards)
{
    TempDir dir;
    const std::string path = dir.write("later.txt", "A");
    const FileReader reader(path);

    // A lease still held would make this open wait, or fail at once with O_NONBLOCK.
    const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);

    EXPECT_GE(writer, 0);
    close(writer);
}

TEST(FileReader, RefusesAFileItMayNotRead)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    TempDir dir;
    const std::string path = dir.write("secret.txt", "A");
    chmod(path.c_str(), 0);

    EXPECT_EQ(failureMessage([&] { FileReader reader(path); }), cannotOpen(path));
}

TEST_P(FileReaderRefuses, WithTheOpenFailureMessage)
{
    Scene scene;
    const std::string path = GetParam().make(scene);

    EXPECT_EQ(failureMessage([&] { FileReader reader(path); }), cannotOpen(path));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileReaderRefuses,
    testing::Values(RefusedCase{"MissingFile", makeMissingFile}, RefusedCase{"Folder", makeFolder},
                    RefusedCase{"FifoWithoutWriter", makeFifo}, RefusedCase{"Socket", makeSocket},
                    RefusedCase{"Device", makeDevice},
                    RefusedCase{"FileOpenForWriting", makeFileOpenForWriting}),
    [](const testing::TestParamInfo<RefusedCase> &info) { return info.param.name; });
