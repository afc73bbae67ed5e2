#pragma once

#include <filesystem>

// Makes folder the process's current folder while it lives, then goes back.
class CurrentFolder
{
public:
    explicit CurrentFolder(const std::filesystem::path &folder)
        : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() { std::filesystem::current_path(m_previous); }

    CurrentFolder(const CurrentFolder &) = delete;
    CurrentFolder &operator=(const CurrentFolder &) = delete;

private:
    std::filesystem::path m_previous;
};
