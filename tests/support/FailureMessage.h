#pragma once

#include "Failure.h"

#include <string>

// The message of the Failure that act throws, or "(no failure)".
template <class Act> std::string failureMessage(Act act)
{
    try {
        act();
    } catch (const Failure &failure) {
        return failure.what();
    }
    return "(no failure)";
}
