#include "VersionService.h"

#include "ElfImage.h"
#include "TempDir.h"
#include "UserLocaleVariable.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace {

const std::string kExecutable = std::string(FIXTURES) + "/Executable.elf";

std::size_t programBlockSize()
{
    return std::filesystem::file_size(VERSION_BIN);
}

std::vector<std::byte> filled(std::size_t size)
{
    std::vector<std::byte> block(size, std::byte{0xEE});
    EXPECT_TRUE(VersionService::fileVersionInfo(kExecutable, block));
    return block;
}

TEST(VersionService, SizeIsTheWholeBlock)
{
    EXPECT_EQ(VersionService::fileVersionInfoSize(kExecutable), programBlockSize());
}

TEST(VersionService, SizeIsZeroWithTheReasonInErrno)
{
    TempDir dir;
    const ElfImage tooLarge({{VersionService::kSection, std::string(0x10000, 'v')}});

    errno = 0;
    EXPECT_EQ(VersionService::fileVersionInfoSize(WITHOUT_VERSION), 0u);
    EXPECT_EQ(errno, ENODATA);
    EXPECT_EQ(VersionService::fileVersionInfoSize(dir.path("missing")), 0u);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(VersionService::fileVersionInfoSize(dir.write("large", tooLarge.bytes())), 0u);
    EXPECT_EQ(errno, EFBIG);
}

TEST(VersionService, FillsTheBlockCutToItsSizeAndZeroesTheRest)
{
    const std::size_t size = programBlockSize();

    const std::vector<std::byte> exact = filled(size);
    const std::vector<std::byte> small = filled(10);
    const std::vector<std::byte> large = filled(size + 6);

    EXPECT_EQ(std::vector(exact.begin(), exact.begin() + 10), small);
    EXPECT_EQ(std::vector(large.begin(), large.begin() + std::ptrdiff_t(size)), exact);
    EXPECT_EQ(std::vector(large.begin() + std::ptrdiff_t(size), large.end()),
              std::vector<std::byte>(6));
}

TEST(VersionService, FillingFailsForAFileWithoutTheSection)
{
    std::vector<std::byte> block(16);

    EXPECT_FALSE(VersionService::fileVersionInfo(WITHOUT_VERSION, block));
    EXPECT_EQ(errno, ENODATA);
}

TEST(VersionService, LastErrorTextIsTheSystemsMessage)
{
    errno = ENODATA;
    EXPECT_EQ(VersionService::lastErrorText(), "No data available");
    errno = ENOKEY;
    EXPECT_EQ(VersionService::lastErrorText(), "Required key not available");
}

TEST(VersionService, UserLanguageComesFromTheLocale)
{
    {
        const UserLocaleVariable japanese("ja_JP.UTF-8");
        EXPECT_EQ(VersionService::userDefaultLangId(), 0x0411);
    }
    const UserLocaleVariable c("C");
    EXPECT_EQ(VersionService::userDefaultLangId(), 0x0409);
}

} // namespace
