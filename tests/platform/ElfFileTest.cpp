#include "ElfFile.h"

#include "ElfImage.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <ostream>

#include <sys/stat.h>

namespace {

constexpr const char *kSection = ".qarvo_version";

std::string contents(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fixture(const char *name)
{
    return std::string(FIXTURES) + "/" + name;
}

// The section's bytes, or the errno of the failure as "errno N".
std::string sectionOf(const std::string &path, const char *name = kSection)
{
    const ElfFile file(path);
    if (!file.isOpen())
        return "errno " + std::to_string(errno);
    const std::optional<ElfFile::Extent> extent = file.findSection(name);
    if (!extent)
        return "errno " + std::to_string(errno);
    std::string bytes(extent->size, '\0');
    if (!file.read(extent->offset, std::as_writable_bytes(std::span(bytes))))
        return "errno " + std::to_string(errno);
    return bytes;
}

std::string failure(int code)
{
    return "errno " + std::to_string(code);
}

struct FixtureRow
{
    const char *name;
    const char *file;
};

void PrintTo(const FixtureRow &row, std::ostream *out)
{
    *out << row.name;
}

class ElfFileFixtures : public testing::TestWithParam<FixtureRow>
{};

TEST_P(ElfFileFixtures, FindTheSectionInEveryClassAndByteOrder)
{
    EXPECT_EQ(sectionOf(fixture(GetParam().file)), contents(VERSION_BIN));
}

const FixtureRow kFixtureRows[] = {
    {"Executable64", "Executable.elf"},
    {"Object32", "Elf32.o"},
    {"Object64BigEndian", "Elf64BigEndian.o"},
};

INSTANTIATE_TEST_SUITE_P(ElfFile, ElfFileFixtures, testing::ValuesIn(kFixtureRows),
                         [](const auto &info) { return info.param.name; });

TEST(ElfFile, ASectionWithoutBytesInTheFileIsMissing)
{
    EXPECT_EQ(sectionOf(fixture("NoBits.o")), failure(ENODATA));
    EXPECT_EQ(sectionOf(WITHOUT_VERSION), failure(ENODATA));
}

TEST(ElfFile, OpensOnlyRegularFiles)
{
    TempDir dir;
    mkfifo(dir.path("fifo").c_str(), 0600);

    EXPECT_EQ(sectionOf(dir.path("missing")), failure(ENOENT));
    EXPECT_EQ(sectionOf(dir.path()), failure(EISDIR));
    EXPECT_EQ(sectionOf(dir.path("fifo")), failure(ENOEXEC));
    EXPECT_EQ(sectionOf(dir.write("text", "just text, long enough to hold an ELF header......."
                                          ".............")),
              failure(ENOEXEC));
    EXPECT_EQ(sectionOf(dir.write("empty", "")), failure(ENOEXEC));
}

// A built image, spoiled by a test, as a file.
class ElfFileImage : public testing::Test
{
protected:
    std::string sectionOfImage(const char *name = kSection)
    {
        return sectionOf(m_dir.write("image", m_image.bytes()), name);
    }

    TempDir m_dir;
    ElfImage m_image{{{".text", "code"}, {kSection, "version bytes"}, {".data", "data"}}};
};

TEST_F(ElfFileImage, FindsASectionByItsWholeName)
{
    EXPECT_EQ(sectionOfImage(), "version bytes");
    EXPECT_EQ(sectionOfImage(".dat"), failure(ENODATA));
}

TEST_F(ElfFileImage, EveryCutOfTheFileFailsCleanly)
{
    const std::string whole = m_image.bytes();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::string path = m_dir.write("cut", whole.substr(0, size));
        EXPECT_EQ(sectionOf(path), failure(ENOEXEC)) << "cut at " << size;
    }
}

TEST_F(ElfFileImage, CountsAndIndexesTooLargeForTheHeaderAreReadFromSection0)
{
    m_image.set(ElfImage::kEntryCountAt, 2, 0);
    m_image.set(ElfImage::kNamesIndexAt, 2, 0xFFFF);
    m_image.setField(0, ElfImage::kSizeAt, 8, m_image.count());
    m_image.setField(0, ElfImage::kLinkAt, 4, m_image.count() - 1);

    EXPECT_EQ(sectionOfImage(), "version bytes");
}

TEST_F(ElfFileImage, AnExtendedCountPastTheFileFails)
{
    m_image.set(ElfImage::kEntryCountAt, 2, 0);
    m_image.setField(0, ElfImage::kSizeAt, 8, 0x0100'0000'0000'0000);

    EXPECT_EQ(sectionOfImage(), failure(ENOEXEC));
}

struct SpoilRow
{
    const char *name;
    std::size_t section; // kHeader for the file header
    std::size_t at, width;
    std::uint64_t value;
    int error;
};

void PrintTo(const SpoilRow &row, std::ostream *out)
{
    *out << row.name;
}

constexpr std::size_t kHeader = SIZE_MAX;
constexpr std::uint64_t kHuge = 0xFFFF'FFFF'FFFF'FF00;

class ElfFileSpoiled : public ElfFileImage, public testing::WithParamInterface<SpoilRow>
{};

TEST_P(ElfFileSpoiled, FailsWithoutReadingOutsideTheFile)
{
    const SpoilRow &row = GetParam();
    if (row.section == kHeader)
        m_image.set(row.at, row.width, row.value);
    else
        m_image.setField(row.section, row.at, row.width, row.value);

    EXPECT_EQ(sectionOfImage(), failure(row.error));
}

const SpoilRow kSpoilRows[] = {
    {"NoMagic", kHeader, 1, 1, 'e', ENOEXEC},
    {"UnknownClass", kHeader, 4, 1, 3, ENOEXEC},
    {"UnknownByteOrder", kHeader, 5, 1, 0, ENOEXEC},
    {"NoSectionTable", kHeader, ElfImage::kTableOffsetAt, 8, 0, ENODATA},
    {"TablePastTheEnd", kHeader, ElfImage::kTableOffsetAt, 8, kHuge, ENOEXEC},
    {"EntriesTooSmall", kHeader, ElfImage::kEntrySizeAt, 2, 40, ENOEXEC},
    {"TooManyEntries", kHeader, ElfImage::kEntryCountAt, 2, 0xFFFE, ENOEXEC},
    {"NamesIndexPastTheTable", kHeader, ElfImage::kNamesIndexAt, 2, 5, ENOEXEC},
    {"NamesWithoutBytes", 4, ElfImage::kTypeAt, 4, 8, ENOEXEC},
    {"NamesPastTheEnd", 4, ElfImage::kSizeAt, 8, kHuge, ENOEXEC},
    {"NamePastTheNames", 2, ElfImage::kNameAt, 4, 0xFFFF'FFFF, ENODATA},
    {"SectionPastTheEnd", 2, ElfImage::kOffsetAt, 8, kHuge, ENOEXEC},
    {"SectionLongerThanTheFile", 2, ElfImage::kSizeAt, 8, kHuge, ENOEXEC},
    {"EmptySection", 2, ElfImage::kSizeAt, 8, 0, ENODATA},
};

INSTANTIATE_TEST_SUITE_P(ElfFile, ElfFileSpoiled, testing::ValuesIn(kSpoilRows),
                         [](const auto &info) { return info.param.name; });

} // namespace
