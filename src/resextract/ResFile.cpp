#include "ResFile.h"

#include <cstddef>

namespace {

// DataSize, HeaderSize, then the type's first WORD.
constexpr std::size_t kLeadBytes = 4 + 4 + 2;
constexpr std::uint16_t kOrdinalMark = 0xFFFF;

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::size_t alignedTo4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

} // namespace

std::optional<std::string_view> ResFile::find(std::string_view res, std::uint16_t type)
{
    std::size_t entry = 0;
    while (entry <= res.size() && res.size() - entry >= kLeadBytes) {
        const std::size_t dataSize = littleEndian(res, entry, 4);
        const std::size_t headerSize = littleEndian(res, entry + 4, 4);
        const std::size_t room = res.size() - entry;
        if (headerSize < kLeadBytes + 2 || headerSize > room || dataSize > room - headerSize)
            return std::nullopt;
        const bool numbered = littleEndian(res, entry + 8, 2) == kOrdinalMark;
        if (numbered && littleEndian(res, entry + 10, 2) == type)
            return res.substr(entry + headerSize, dataSize);
        entry = alignedTo4(entry + headerSize + dataSize);
    }
    return std::nullopt;
}
