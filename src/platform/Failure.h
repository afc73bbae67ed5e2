#pragma once

#include <stdexcept>
#include <string>

// A failure the user is told about: the message text is UTF-8 and shown as it is.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const std::string &message) : std::runtime_error(message) {}
};
