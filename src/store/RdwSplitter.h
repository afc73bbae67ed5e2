#pragma once

#include "LoadControl.h"
#include "RecordIndex.h"

#include <cstdint>
#include <string_view>

// Splits a file of variable-length records, each after a 4-byte record descriptor word (RDW):
// a 2-byte big-endian length that counts the RDW's own 4 bytes, then 2 bytes that must be
// zero. A record is the bytes after its RDW; an RDW of length 4 gives an empty one.
class RdwSplitter
{
public:
    static constexpr std::size_t kRdwBytes = 4;

    // The index of where each record's bytes start. Throws Failure "RDW at offset N: ..." naming
    // the first RDW that is wrong, std::bad_alloc beyond memoryLimit, LoadControl::Cancelled.
    static RecordIndex split(std::string_view file, std::uint64_t memoryLimit,
                             const LoadControl *control = nullptr);
    // The bytes of the record of file whose bytes start at start, a start of split's index.
    static std::string_view record(std::string_view file, std::uint64_t start)
    {
        return file.substr(start, length(file, start - kRdwBytes) - kRdwBytes);
    }

private:
    static std::size_t length(std::string_view file, std::uint64_t rdw)
    {
        return std::size_t{static_cast<unsigned char>(file[rdw])} << 8 |
               static_cast<unsigned char>(file[rdw + 1]);
    }
};
