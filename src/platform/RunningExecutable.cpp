#include "RunningExecutable.h"

#include <filesystem>
#include <system_error>

std::string RunningExecutable::path()
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}
