#pragma once

#include "FileMapping.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Bytes read by offset, as a file gives them; a seam, so that tests can hold a load up.
class ByteSource
{
public:
    virtual ~ByteSource() = default;

    // Bytes in the source when it was opened.
    virtual std::uint64_t size() const = 0;
    // Reads up to count bytes from offset into out; fewer only at the end of the source.
    // Throws Failure when reading fails.
    virtual std::size_t readAt(std::uint64_t offset, char *out, std::size_t count) const = 0;
    // The source's size() bytes mapped, where it is a file that can be; null where they must
    // be read.
    virtual std::unique_ptr<FileMapping> map() const { return nullptr; }
};
