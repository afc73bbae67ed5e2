#pragma once

#include "VersionService.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

// What an install of qarvo holds, and what its files must not.
class InstalledFiles
{
public:
    // Relative to the installation prefix, sorted.
    static std::vector<std::string> expected()
    {
        std::vector<std::string> files = {
            "bin/qarvo",
            "bin/qarvo-dump",
            "share/applications/org.example.qarvo.desktop",
            "share/man/man1/qarvo-dump.1.gz",
            "share/man/man1/qarvo.1.gz",
            "share/metainfo/org.example.qarvo.metainfo.xml",
        };
        for (const char *size : {"16", "32", "48", "64", "128", "256"})
            files.push_back(std::string("share/icons/hicolor/") + size + "x" + size +
                            "/apps/qarvo.png");
        std::sort(files.begin(), files.end());
        return files;
    }

    // The files and links under root, relative to it, sorted.
    static std::vector<std::string> under(const std::filesystem::path &root)
    {
        std::vector<std::string> files;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_directory())
                files.push_back(entry.path().lexically_relative(root).string());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // Whether the file names the folder of the sources or of the build anywhere in its bytes.
    static bool namesBuildFolder(const std::filesystem::path &file)
    {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        return bytes.find(QARVO_SOURCE_DIR) != std::string::npos ||
               bytes.find(QARVO_BUILD_DIR) != std::string::npos;
    }

    // Whether executable carries the same version resource as the viewer as built.
    static bool keepsTheViewersVersion(const std::string &executable)
    {
        const std::string block = versionBlock(executable);
        return !block.empty() && block == versionBlock(QARVO_VIEWER);
    }

private:
    // Empty when the executable carries none.
    static std::string versionBlock(const std::string &executable)
    {
        std::string block(VersionService::fileVersionInfoSize(executable), '\0');
        if (!VersionService::fileVersionInfo(executable, std::as_writable_bytes(std::span(block))))
            return {};
        return block;
    }
};
