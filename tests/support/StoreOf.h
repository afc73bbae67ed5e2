#pragma once

#include "RecordStore.h"
#include "TempDir.h"

#include <string_view>

// A store loaded from bytes, through a file, as the viewer loads one.
inline RecordStore storeOf(std::string_view bytes, const Framing &framing = Framing::lines())
{
    const TempDir folder;
    RecordStore store;
    store.load(folder.write("records.txt", bytes), framing);
    return store;
}
