// The command-line road of a path, absolute form then stored names, on generated names in a
// temporary tree that holds the awkward cases: wildcards and high bytes in stored names,
// names differing only in case, links to themselves, to their folder and to nothing, a FIFO.
// Each rewritten name is checked against a plain search of its folder.
#include "LongNames.h"
#include "PathLookup.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string g_tree;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void removeTree()
{
    std::error_code ignored;
    fs::remove_all(g_tree, ignored);
}

void makeTree()
{
    std::string pattern = (fs::temp_directory_path() / "qarvo-fuzz-XXXXXX").string();
    check(::mkdtemp(pattern.data()) != nullptr, "temp folder");
    g_tree = pattern;
    std::atexit(removeTree);
    const fs::path root(g_tree);
    for (const char *folder : {"Dir/Sub", "Long name with spaces", "\x95\x5C/In"})
        fs::create_directories(root / folder);
    for (const char *file : {"Dir/Sub/File.TXT", "Dir/a*b", "Dir/q?", "Dir/aXb", "UPPER", "upper",
                             "Long name with spaces/Day01 summary.txt", "\x95\x5C/\x95\x5Cx.txt",
                             "\xFF\xFE\x80", ".hidden", "..."})
        std::ofstream(root / file) << "x\n";
    fs::create_symlink("loop", root / "loop");
    fs::create_symlink(".", root / "up");
    fs::create_symlink("nowhere", root / "gone");
    check(::mkfifo((root / "fifo").c_str(), 0600) == 0, "fifo");
    check(::chdir(g_tree.c_str()) == 0, "into the tree");
}

std::vector<std::string> elements(const std::string &path)
{
    std::vector<std::string> names;
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Wildcard match by the table of every pattern prefix against every name prefix.
bool referenceMatch(std::string_view pattern, std::string_view name)
{
    std::vector<std::vector<bool>> matched(pattern.size() + 1,
                                           std::vector<bool>(name.size() + 1, false));
    matched[0][0] = true;
    for (std::size_t p = 1; p <= pattern.size(); ++p) {
        const char c = pattern[p - 1];
        for (std::size_t n = 0; n <= name.size(); ++n) {
            if (c == '*')
                matched[p][n] = matched[p - 1][n] || (n > 0 && matched[p][n - 1]);
            else if (n > 0)
                matched[p][n] =
                    matched[p - 1][n - 1] && (c == '?' || folded(c) == folded(name[n - 1]));
        }
    }
    return matched[pattern.size()][name.size()];
}

// The entry that folder/typed names: typed itself if it exists, else the first match.
std::optional<std::string> referenceLookup(const std::string &folder, const std::string &typed)
{
    struct stat status = {};
    if (typed.empty())
        return std::nullopt;
    if (::lstat((folder + typed).c_str(), &status) == 0)
        return typed;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<std::string> first;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const bool candidate = name != "." && name != ".." && referenceMatch(typed, name);
        if (candidate && (!first || name < *first))
            first = name;
    }
    ::closedir(dir);
    return first;
}

void checkAbsolute(std::string_view input, const std::string &absolute)
{
    const bool expandable = !input.empty() && input.find('\0') == std::string_view::npos;
    check(absolute.empty() != expandable, "expansion refused exactly for empty and NUL");
    if (absolute.empty())
        return;
    check(absolute.starts_with('/'), "absolute");
    check(absolute.ends_with('/') == (absolute == "/" || input.ends_with('/')), "trailing /");
    const std::vector<std::string> names = elements(absolute);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        check(names[i] != "." && names[i] != ".." && (last || !names[i].empty()), "normal form");
    }
}

void checkRewrite(const std::string &absolute, const std::string &rewritten)
{
    if (absolute.empty() || absolute.ends_with('/')) {
        check(rewritten == absolute, "unchanged without a name");
        return;
    }
    const std::vector<std::string> typed = elements(absolute);
    const std::vector<std::string> stored = elements(rewritten);
    check(rewritten.starts_with('/') && stored.size() == typed.size(), "one name for each");
    std::string folder = "/";
    bool found = true;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const std::optional<std::string> expected =
            found ? referenceLookup(folder, typed[i]) : std::nullopt;
        found = expected.has_value();
        check(stored[i] == expected.value_or(typed[i]), "stored name of the folder's search");
        folder += stored[i] + "/";
    }
    if (rewritten.size() < PATH_MAX / 2)
        check(LongNames::ExpandShortName(rewritten) == rewritten, "stored names stay");
    struct stat status = {};
    const bool regular = ::stat(rewritten.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    check(PathLookup::isRegularFile(rewritten) == regular, "file test");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    makeTree();
    return 0;
}

// The bytes are a command-line argument, taken in the tree; its halves also a name and a
// pattern for the wildcard match.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::string_view half(input.data(), size / 2);
    check(PathLookup::matches(half, std::string_view(input).substr(size / 2)) ==
              referenceMatch(half, std::string_view(input).substr(size / 2)),
          "wildcard match");

    const std::string absolute = PathLookup::absolutePath(input);
    checkAbsolute(input, absolute);
    // Outside the tree other programs change the folders while we compare.
    if (!absolute.starts_with(g_tree + "/") && absolute != g_tree)
        return 0;
    checkRewrite(absolute, LongNames::ExpandShortName(absolute));
    return 0;
}
