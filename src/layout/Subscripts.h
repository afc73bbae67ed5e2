#pragma once

#include "Placement.h"

#include <cstdint>
#include <string>
#include <vector>

// Names of a record's placements, in their order, with the subscripts of the occurrences they
// lie in: "AMOUNT(2,1)".
class Subscripts
{
public:
    // The next placement's name; an item with none is "FILLER".
    std::string nameOf(const Placement &placement);

private:
    struct Open
    {
        std::uint16_t depth;
        std::uint32_t occurrence;
    };
    std::vector<Open> m_open;
};
