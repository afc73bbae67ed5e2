#pragma once

#include <string>

// The file of the running program.
class RunningExecutable
{
public:
    // Its full path as the kernel reports it, or "" when it cannot be had.
    static std::string path();
};
