#include "FileMapping.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t kPage = 4096;

// An open file, mapped through FileMapping, that the case may cut or grow by its path.
struct Mapped
{
    explicit Mapped(const TempDir &dir, std::string bytes)
        : path(dir.write("mapped.dat", bytes)), fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)),
          mapping(FileMapping::map(fd, bytes.size(), path))
    {}
    ~Mapped() { close(fd); }

    // Every byte, read as a reader would, fault or no fault.
    std::string readAll() const { return std::string(mapping->bytes()); }

    std::string path;
    int fd;
    std::unique_ptr<FileMapping> mapping;
};

std::string pages(std::size_t bytes)
{
    std::string text(bytes, 'x');
    for (std::size_t i = 0; i < bytes; i += 100)
        text[i] = '\n';
    return text;
}

} // namespace

TEST(FileMapping, HoldsTheFilesBytesAndIsIntactWhileTheFileIs)
{
    TempDir dir;
    const std::string bytes = pages(3 * kPage + 5);
    const Mapped file(dir, bytes);
    ASSERT_TRUE(file.mapping);

    const std::string read = file.readAll();

    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(file.mapping->faulted());
    EXPECT_FALSE(file.mapping->broken());
    EXPECT_EQ(file.mapping->path(), file.path);
}

// Cut from another descriptor: pages past the new end fault, the guard puts zeros in place
// of the whole mapping, and the mapping says so.
TEST(FileMapping, AFileCutBelowTheMappedPagesReadsAsZerosAndIsBroken)
{
    TempDir dir;
    const Mapped file(dir, pages(8 * kPage));
    ASSERT_EQ(truncate(file.path.c_str(), kPage), 0);

    const std::string read = file.readAll();

    EXPECT_TRUE(file.mapping->faulted());
    EXPECT_TRUE(file.mapping->broken());
    EXPECT_EQ(read.find_first_not_of('\0', kPage), std::string::npos);
}

// The bytes past the new end within its last page read as zeros without a fault; only the
// file's size tells.
TEST(FileMapping, AFileCutWithinItsLastPageIsBrokenWithoutAFault)
{
    TempDir dir;
    const Mapped file(dir, pages(kPage + 1000));
    ASSERT_EQ(truncate(file.path.c_str(), kPage + 10), 0);

    const std::string read = file.readAll();

    EXPECT_FALSE(file.mapping->faulted());
    EXPECT_TRUE(file.mapping->broken());
    EXPECT_EQ(read.size(), kPage + 1000);
}

TEST(FileMapping, AFileThatGrowsKeepsItsMappedBytesAndIsNotBroken)
{
    TempDir dir;
    const std::string bytes = pages(kPage + 7);
    const Mapped file(dir, bytes);
    ASSERT_EQ(truncate(file.path.c_str(), 3 * kPage), 0);

    const std::string read = file.readAll();

    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(file.mapping->broken());
}

// Past the table's room a file is not mapped, never mapped unguarded; a slot given back is
// taken again.
TEST(FileMapping, MappingsBeyondTheGuardsRoomAreRefused)
{
    TempDir dir;
    const Mapped first(dir, "x");
    std::vector<std::unique_ptr<FileMapping>> more;
    for (std::size_t i = 1; i < MappingGuard::kMostRanges; ++i)
        more.push_back(FileMapping::map(first.fd, 1, first.path));

    const bool refused = !FileMapping::map(first.fd, 1, first.path);
    more.pop_back();
    const bool takenAgain = FileMapping::map(first.fd, 1, first.path) != nullptr;

    EXPECT_TRUE(first.mapping);
    EXPECT_TRUE(std::all_of(more.begin(), more.end(), [](const auto &m) { return m != nullptr; }));
    EXPECT_TRUE(refused);
    EXPECT_TRUE(takenAgain);
}

// A fault in a mapping nobody guards is a real fault and still ends the process, as does the
// signal sent.
TEST(FileMappingDeathTest, AFaultOutsideEveryGuardedMappingStillEndsTheProcess)
{
    TempDir dir;
    const Mapped guarded(dir, pages(2 * kPage));
    const std::string path = dir.write("unguarded.dat", pages(4 * kPage));
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const auto *bytes =
        static_cast<const volatile char *>(mmap(nullptr, 4 * kPage, PROT_READ, MAP_SHARED, fd, 0));
    ASSERT_EQ(truncate(path.c_str(), 0), 0);

    EXPECT_DEATH(static_cast<void>(bytes[3 * kPage]), "");
    EXPECT_DEATH(raise(SIGBUS), "");

    munmap(const_cast<char *>(bytes), 4 * kPage);
    close(fd);
}
