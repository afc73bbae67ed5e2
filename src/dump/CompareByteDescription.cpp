#include "CompareByteDescription.h"

#include "ByteDescription.h"
#include "CompareDump.h"

namespace {

std::string sideWords(const RecordDump &dump, std::uint64_t offset)
{
    const std::uint64_t length = dump.record().bytes.size();
    if (offset < length)
        return ByteDescription::of(dump, offset);
    return "no byte at offset " + std::to_string(offset) + " (the record has " +
           std::to_string(length) + ")";
}

} // namespace

std::string CompareByteDescription::of(const CompareDump &compare, std::uint64_t offset)
{
    return "A: " + sideWords(compare.dumpA(), offset) +
           "   B: " + sideWords(compare.dumpB(), offset);
}
