#pragma once

#include <stdexcept>
#include <string>

// A copybook that cannot be read: what was expected, and where.
class CopybookError : public std::runtime_error
{
public:
    CopybookError(const std::string &message, int line, int column)
        : std::runtime_error(std::to_string(line) + ":" + std::to_string(column) + ": " + message),
          m_line(line), m_column(column)
    {}

    int line() const { return m_line; }
    int column() const { return m_column; }

private:
    int m_line;
    int m_column;
};
