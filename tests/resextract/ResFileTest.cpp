#include "ResFile.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace std::string_literals;

namespace {

std::string dword(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

// One entry as windres writes it: numbered type and name (or the given type), the fixed tail,
// the data, padding to 4 bytes.
std::string entry(const std::string &type, const std::string &data)
{
    const std::string names = type + "\xFF\xFF\x01\x00"s;
    const std::string tail(16, '\0');
    const std::size_t header = 8 + names.size() + tail.size();
    std::string bytes =
        dword(std::uint32_t(data.size())) + dword(std::uint32_t(header)) + names + tail + data;
    bytes.resize((bytes.size() + 3) & ~std::size_t{3}, '\0');
    return bytes;
}

std::string numbered(std::uint16_t type)
{
    return "\xFF\xFF"s + char(type & 0xFF) + char(type >> 8);
}

const std::string kNull = entry(numbered(0), "");

struct ResRow
{
    const char *name;
    std::string res;
    std::optional<std::string> version;
};

void PrintTo(const ResRow &row, std::ostream *out)
{
    *out << row.name;
}

class ResFileFind : public testing::TestWithParam<ResRow>
{};

TEST_P(ResFileFind, TakesTheFirstVersionResource)
{
    const std::optional<std::string_view> found =
        ResFile::find(GetParam().res, ResFile::kVersionType);

    EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, GetParam().version);
}

const ResRow kResRows[] = {
    {"AfterOtherEntries",
     kNull + entry(numbered(10), "raw") + entry(numbered(16), "block") +
         entry(numbered(16), "second"),
     "block"},
    {"NamedTypeIsNoNumber", kNull + entry("V\0E\0R\0\0\0"s, "named"), std::nullopt},
    {"None", kNull + entry(numbered(6), "strings"), std::nullopt},
    {"Empty", "", std::nullopt},
    {"DataPastTheEnd", kNull + entry(numbered(16), "block").substr(0, 35), std::nullopt},
    {"HeaderPastTheEnd", dword(0) + dword(0x1000) + numbered(16), std::nullopt},
    {"HeaderTooShort", dword(0) + dword(4) + numbered(16) + "\xFF\xFF\x01\x00"s, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(ResFile, ResFileFind, testing::ValuesIn(kResRows),
                         [](const auto &info) { return info.param.name; });

} // namespace
