#include "FullStop.h"

std::string withFullStop(std::string_view message)
{
    std::string result(message);
    if (result.empty())
        return result;
    const auto last = static_cast<unsigned char>(result.back());
    // A UTF-8 byte of 0x80 or more belongs to a non-ASCII character.
    if (last >= 0x80 || last > '.')
        result += '.';
    return result;
}
