#pragma once

#include <optional>
#include <string>
#include <string_view>

// File-system look-ups on paths as byte strings: names in any encoding pass through unchanged.
// A path without "/" names an entry of the current folder.
class PathLookup
{
public:
    // path made absolute against the current folder, with "." and ".." resolved lexically:
    // nothing is looked up and no link is followed, so "link/.." drops "link". Repeated "/"
    // become one; ".." at the root stays at the root; a trailing "/" is kept.
    // "" when it cannot be expanded: an empty path, one holding a NUL byte, or an unknown
    // current folder.
    static std::string absolutePath(const std::string &path);

    // The name stored in its folder of the entry that fullPath's last element names, or
    // nothing. An entry with exactly that name comes first, whatever its kind (a dangling link
    // too). Failing that, the first name in byte order that matches it with ASCII letter case
    // ignored and "*" (any run of bytes) and "?" (one byte) as the only wildcards; "." and ".."
    // are never such a match. Nothing when the last element is empty or the folder cannot
    // be read.
    static std::optional<std::string> findFirstEntry(const std::string &fullPath);

    // Whether name matches pattern as findFirstEntry matches names: ASCII letter case ignored,
    // "*" any run of bytes, "?" any one byte, every other byte ("[" too) only itself.
    static bool matches(std::string_view pattern, std::string_view name);

    // True only for a regular file, after following links: folders, FIFOs, sockets, devices
    // and missing names give false, so opening what it accepts never blocks.
    static bool isRegularFile(const std::string &path);
};
