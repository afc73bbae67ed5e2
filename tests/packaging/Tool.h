#pragma once

#include "ChildProcess.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A program that a check runs, found on PATH as a shell finds it.
class Tool
{
public:
    static std::optional<std::string> find(std::string_view name)
    {
        const char *path = std::getenv("PATH");
        std::string_view folders = path ? path : "/usr/bin:/bin";
        while (!folders.empty()) {
            const std::size_t end = std::min(folders.find(':'), folders.size());
            const std::string candidate =
                std::string(folders.substr(0, end)) + "/" + std::string(name);
            if (end > 0 && access(candidate.c_str(), X_OK) == 0)
                return candidate;
            folders.remove_prefix(std::min(end + 1, folders.size()));
        }
        return std::nullopt;
    }

    // What the skip of a check says when its program is missing.
    static std::string missing(std::string_view name, std::string_view package)
    {
        return std::string(name) + " is missing: install the Debian package " +
               std::string(package);
    }

    static ChildProcess::Outcome run(const std::vector<std::string> &arguments)
    {
        return ChildProcess::run(arguments, {});
    }
};
