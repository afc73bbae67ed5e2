#pragma once

#include <cstddef>

// Advice to the memory manager for big buffers that are about to be filled.
class LargePages
{
public:
    // Asks for large pages behind [data, data + size) before its first touch. A large buffer
    // then costs far fewer page faults; where the advice is not supported it does nothing.
    static void prefer(const void *data, std::size_t size);
};
