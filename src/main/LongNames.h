#pragma once

#include <optional>
#include <string>
#include <vector>

// The file named on the command line, and the rewrite of a path into the names stored on disk.
class LongNames
{
public:
    // The first non-empty one of the arguments after the program's name: an empty one is no
    // argument, and those after the first are ignored.
    static std::optional<std::string> firstArgument(const std::vector<std::string> &arguments);

    // path with every name that exists in the form stored in its folder, looked up from the
    // root down; once a name is not found, it and every name after it stay as typed. A leading
    // "/" stays, runs of "/" between names become one, and a path ending in "/" (or empty)
    // comes back unchanged.
    static std::string ExpandShortName(const std::string &path);
};
