#include "PathLookup.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "" when the current folder is gone or unreachable, as getcwd reports it.
std::string currentFolder()
{
    std::vector<char> buffer(256);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    const std::string folder = buffer.data();
    return folder.starts_with('/') ? folder : std::string();
}

// "/" followed by the names of path with "." dropped and each ".." taking away the name
// before it.
std::string lexicallyNormal(const std::string &path)
{
    std::vector<std::string_view> names;
    const std::string_view rest(path);
    std::size_t start = 0;
    while (start < rest.size()) {
        const std::size_t end = std::min(rest.find('/', start), rest.size());
        const std::string_view name = rest.substr(start, end - start);
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::string normal;
    for (const std::string_view name : names) {
        normal += '/';
        normal += name;
    }
    if (normal.empty() || path.ends_with('/'))
        normal += '/';
    return normal;
}

char foldedCase(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

bool sameLetter(char patternByte, char nameByte)
{
    return patternByte == '?' || foldedCase(patternByte) == foldedCase(nameByte);
}

struct DirCloser
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};

} // namespace

std::string PathLookup::absolutePath(const std::string &path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return {};
    if (path.starts_with('/'))
        return lexicallyNormal(path);
    const std::string folder = currentFolder();
    if (folder.empty())
        return {};
    return lexicallyNormal(folder + '/' + path);
}

std::optional<std::string> PathLookup::findFirstEntry(const std::string &fullPath)
{
    const std::size_t slash = fullPath.rfind('/');
    const std::string name = fullPath.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty())
        return std::nullopt;
    struct stat status = {};
    if (::lstat(fullPath.c_str(), &status) == 0)
        return name;
    const std::string folder = slash == std::string::npos ? "." : fullPath.substr(0, slash + 1);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    std::optional<std::string> first;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string_view stored(entry->d_name);
        if (stored == "." || stored == ".." || !matches(name, stored))
            continue;
        if (!first || stored < *first)
            first = std::string(stored);
    }
    return first;
}

bool PathLookup::matches(std::string_view pattern, std::string_view name)
{
    // On a mismatch the last "*" takes one byte more; earlier ones never need to, so the
    // cost stays within pattern length times name length.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t starTook = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starTook = n;
        } else if (p < pattern.size() && sameLetter(pattern[p], name[n])) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++starTook;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool PathLookup::isRegularFile(const std::string &path)
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}
