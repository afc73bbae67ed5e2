#pragma once

#include <stdexcept>
#include <string>

// A copybook that cannot be read: what was expected, and where.
class CopybookError : public std::runtime_error
{
public:
    // file: the copybook or member it is in, when named; the message begins with it.
    CopybookError(const std::string &message, int line, int column,
                  const std::string *file = nullptr)
        : std::runtime_error((file ? *file + ":" : std::string()) + std::to_string(line) + ":" +
                             std::to_string(column) + ": " + message),
          m_line(line), m_column(column)
    {}

    int line() const { return m_line; }
    int column() const { return m_column; }

private:
    int m_line;
    int m_column;
};
