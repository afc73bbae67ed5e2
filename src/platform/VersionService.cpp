#include "VersionService.h"

#include "ElfFile.h"
#include "UserLocale.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

constexpr std::uint64_t kLargestBlock = 0xFFFF;

std::optional<ElfFile::Extent> findBlock(const ElfFile &file)
{
    if (!file.isOpen())
        return std::nullopt;
    const std::optional<ElfFile::Extent> extent = file.findSection(VersionService::kSection);
    if (extent && extent->size > kLargestBlock) {
        errno = EFBIG;
        return std::nullopt;
    }
    return extent;
}

} // namespace

const char *const VersionService::kSection = QARVO_VERSION_SECTION;

std::uint32_t VersionService::fileVersionInfoSize(const std::string &path)
{
    const std::optional<ElfFile::Extent> extent = findBlock(ElfFile(path));
    return extent ? static_cast<std::uint32_t>(extent->size) : 0;
}

bool VersionService::fileVersionInfo(const std::string &path, std::span<std::byte> block)
{
    const ElfFile file(path);
    const std::optional<ElfFile::Extent> extent = findBlock(file);
    if (!extent)
        return false;
    const std::size_t filled = std::min<std::size_t>(block.size(), extent->size);
    if (!file.read(extent->offset, block.first(filled)))
        return false;
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(filled), block.end(), std::byte{0});
    return true;
}

std::uint16_t VersionService::userDefaultLangId()
{
    return UserLocale::fromEnvironment().languageId();
}

std::string VersionService::lastErrorText()
{
    const int code = errno;
    char buffer[256] = {};
    std::string text = strerror_r(code, buffer, sizeof buffer);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}
