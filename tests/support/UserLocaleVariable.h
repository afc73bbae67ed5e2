#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// LC_ALL, where the user's locale is read first, set while it lives.
class UserLocaleVariable
{
public:
    explicit UserLocaleVariable(const char *locale)
    {
        if (const char *previous = std::getenv("LC_ALL"))
            m_previous = previous;
        setenv("LC_ALL", locale, 1);
    }
    ~UserLocaleVariable()
    {
        if (m_previous)
            setenv("LC_ALL", m_previous->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

    UserLocaleVariable(const UserLocaleVariable &) = delete;
    UserLocaleVariable &operator=(const UserLocaleVariable &) = delete;

private:
    std::optional<std::string> m_previous;
};
