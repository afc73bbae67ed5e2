#include "Mark.h"

std::string_view Mark::reason(Kind kind)
{
    switch (kind) {
    case Kind::IllFormed:
        return "ill-formed";
    case Kind::Unmapped:
        return "unmapped";
    case Kind::Shift:
        return "shift";
    case Kind::Hit:
        return "hit";
    case Kind::Difference:
        return "difference";
    }
    return {};
}
