#include "TZuVersInfo.h"

#include "Failure.h"
#include "PathLookup.h"
#include "RunningExecutable.h"
#include "VersionBlock.h"
#include "VersionService.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::size_t kPairBytes = 4; // language, code page: two little-endian WORDs

[[noreturn]] void fail(const char *operation)
{
    throw Failure(operation + VersionService::lastErrorText());
}

std::uint16_t word(const std::string &bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// full is absolute: each call takes its last element off, so the recursion ends at the root,
// whose folder part is empty. Each name is looked up in its folder's stored form, as a folder
// written in another case does not exist under Linux.
std::string longFormOf(const std::string &full)
{
    const std::size_t slash = full.rfind('/');
    if (slash == std::string::npos)
        return full;
    const std::string folder = slash == 0 ? std::string() : longFormOf(full.substr(0, slash));
    return folder + '/' + LongNameOf(folder + '/' + full.substr(slash + 1));
}

} // namespace

TZuVersInfo::TZuVersInfo(QObject *owner)
    : QObject(owner), m_fileName(LongPathOf(RunningExecutable::path()))
{}

TZuVersInfo::~TZuVersInfo() = default;

bool TZuVersInfo::IsFileNameStored() const
{
    return LongPathOf(m_fileName) == LongPathOf(RunningExecutable::path());
}

std::string TZuVersInfo::QueryVersionInfo(const std::string &subBlock)
{
    if (!m_versionData)
        ReadVersionData();
    std::optional<std::string> value = VersionBlock::query(*m_versionData, subBlock);
    if (!value)
        fail("QueryVersionInfo:");
    return std::move(*value);
}

std::string TZuVersInfo::GetVersionString(const std::string &key)
{
    const std::string value =
        QueryVersionInfo("\\StringFileInfo\\" + TranslationKey() + '\\' + key);
    return value.substr(0, value.find('\0'));
}

std::string TZuVersInfo::GetVersionItem(std::size_t index)
{
    return GetVersionString(kVersionKeys.at(index));
}

std::string TZuVersInfo::TranslationKey()
{
    const std::string pairs = QueryVersionInfo("\\VarFileInfo\\Translation");
    const std::size_t count = pairs.size() / kPairBytes;
    if (count == 0)
        return {};
    const std::uint16_t language = VersionService::userDefaultLangId();
    std::size_t chosen = count - 1;
    while (chosen > 0 && word(pairs, chosen * kPairBytes) != language)
        --chosen;
    char key[9];
    std::snprintf(key, sizeof key, "%04X%04X", word(pairs, chosen * kPairBytes),
                  word(pairs, chosen * kPairBytes + 2));
    return key;
}

// A block that could not be filled is dropped, so nothing is ever looked up in it and the
// next question asks the file again.
void TZuVersInfo::ReadVersionData()
{
    const std::uint32_t size = VersionService::fileVersionInfoSize(m_fileName);
    if (size == 0)
        fail("QueryVersionInfo:");
    std::vector<std::byte> block(size);
    if (!VersionService::fileVersionInfo(m_fileName, block))
        fail("QueryVersionInfo:");
    m_versionData = std::move(block);
}

std::string FullPathOf(const std::string &path)
{
    std::string full = PathLookup::absolutePath(path);
    // The system opens no longer path: the form would name nothing.
    if (full.size() >= PATH_MAX) {
        errno = ENAMETOOLONG;
        fail("GetFullPathName:");
    }
    return full;
}

std::string LongNameOf(const std::string &path)
{
    if (std::optional<std::string> stored = PathLookup::findFirstEntry(path))
        return std::move(*stored);
    return path.substr(path.rfind('/') + 1);
}

std::string LongPathOf(const std::string &path)
{
    const std::string full = FullPathOf(path);
    return full.empty() ? full : longFormOf(full);
}
