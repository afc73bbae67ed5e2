// Version-resource look-ups on arbitrary blocks, in the order the version component asks
// them. The block is copied to a buffer of exactly its size, so that any read outside it is
// caught; the fuzzer's time and allocation limits catch loops and unbounded allocations.
#include "VersionBlock.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace {

constexpr std::size_t kMostPairs = 8;

constexpr const char *kKeys[] = {"CompanyName",  "FileDescription", "FileVersion",
                                 "InternalName", "LegalCopyright",  "OriginalFilename",
                                 "ProductName",  "ProductVersion",  "Comments"};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

std::optional<std::string> query(std::span<const std::byte> block, const std::string &path)
{
    errno = 0;
    std::optional<std::string> value = VersionBlock::query(block, path);
    if (!value) {
        check(errno == ENOKEY || errno == EBADMSG, "errno of a failed look-up");
        return value;
    }
    // A UTF-16 unit takes at most 3 bytes of UTF-8, and a value lies inside the block.
    check(value->size() <= block.size() / 2 * 3, "value within the block");
    check(VersionBlock::query(block, path) == value, "same answer twice");
    return value;
}

unsigned word(const std::string &bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// The string tables of the first pairs, and the one of no pair, named as the component names
// them.
void queryStringTables(std::span<const std::byte> block, const std::string &translation)
{
    const std::size_t pairs = std::min<std::size_t>(translation.size() / 4, kMostPairs);
    for (std::size_t pair = 0; pair <= pairs; ++pair) {
        std::string table;
        if (pair < pairs) {
            char key[9];
            std::snprintf(key, sizeof key, "%04X%04X", word(translation, pair * 4),
                          word(translation, pair * 4 + 2));
            table = key;
        }
        for (const char *key : kKeys)
            query(block, "\\StringFileInfo\\" + table + "\\" + key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto copy = std::make_unique<std::byte[]>(size);
    std::memcpy(copy.get(), data, size);
    const std::span<const std::byte> block(copy.get(), size);

    query(block, "\\");
    query(block, "\\StringFileInfo");
    query(block, "\\\\VarFileInfo\\\\Translation\\");
    const std::optional<std::string> translation = query(block, "\\VarFileInfo\\Translation");
    queryStringTables(block, translation.value_or(std::string()));
    return 0;
}
