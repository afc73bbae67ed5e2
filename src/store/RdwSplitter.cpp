#include "RdwSplitter.h"

#include "Failure.h"

#include <cstdio>
#include <string>

namespace {

// Records between two looks at Cancel.
constexpr std::size_t kRecordsPerLook = 1 << 16;

[[noreturn]] void fail(std::uint64_t offset, const std::string &what)
{
    throw Failure("RDW at offset " + std::to_string(offset) + ": " + what);
}

std::string hexByte(char byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(byte));
    return text;
}

} // namespace

RecordIndex RdwSplitter::split(std::string_view file, std::uint64_t memoryLimit,
                               const LoadControl *control)
{
    RecordIndex index;
    // A start per RDW at most, then the file's end, which ends the last record's bytes.
    RecordIndex::Builder builder(index, file.size() / kRdwBytes + 1, memoryLimit);
    std::size_t records = 0;
    for (std::uint64_t at = 0; at < file.size(); ++records) {
        if (control && records % kRecordsPerLook == 0)
            control->throwIfCancelled();
        const std::uint64_t left = file.size() - at;
        if (left < kRdwBytes)
            fail(at, "the file ends " + std::to_string(left) + " bytes into the RDW");
        const std::size_t size = length(file, at);
        if (size < kRdwBytes)
            fail(at, "length " + std::to_string(size) + " is below 4");
        if (file[at + 2] != 0 || file[at + 3] != 0)
            fail(at, "bytes 3 and 4 are " + hexByte(file[at + 2]) + " " + hexByte(file[at + 3]) +
                         ", not zero");
        if (size > left)
            fail(at, "length " + std::to_string(size) + " runs past the end of the file, " +
                         std::to_string(left) + " bytes on");
        builder.add(at + kRdwBytes);
        at += size;
    }
    builder.add(file.size());
    builder.finish(records);
    return index;
}
