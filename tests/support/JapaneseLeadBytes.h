#pragma once

#include "ByteClasses.h"

// As at start-up: the lead-byte set of code page 932 is filled before any window exists.
// A fixture takes it as its first base, so that the set is in place before its members.
struct JapaneseLeadBytes
{
    JapaneseLeadBytes() { ByteClasses::setProcessWide(ByteClasses::forCodePage(932)); }
};
