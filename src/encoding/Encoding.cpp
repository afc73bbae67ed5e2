#include "Encoding.h"

std::optional<UnitStart> Encoding::startNear(std::string_view, std::size_t) const
{
    return std::nullopt;
}
