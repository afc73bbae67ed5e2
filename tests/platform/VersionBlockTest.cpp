#include "VersionBlock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <vector>

using namespace std::string_literals;

namespace {

// The program's own block, as windres compiled it from qarvo.rc.
std::vector<std::byte> programBlock()
{
    std::ifstream in(VERSION_BIN, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const auto *data = reinterpret_cast<const std::byte *>(bytes.data());
    return std::vector<std::byte>(data, data + bytes.size());
}

// The value, or the errno of the failure as "errno N".
std::string query(const std::vector<std::byte> &block, std::string_view subBlock)
{
    const std::optional<std::string> value = VersionBlock::query(block, subBlock);
    return value ? *value : "errno " + std::to_string(errno);
}

std::string failure(int code)
{
    return "errno " + std::to_string(code);
}

std::size_t find(const std::vector<std::byte> &block, std::u16string_view key)
{
    const auto *units = reinterpret_cast<const char *>(key.data());
    const auto *bytes = reinterpret_cast<const char *>(block.data());
    return std::string_view(bytes, block.size())
        .find(std::string_view(units, key.size() * sizeof(char16_t)));
}

void setWord(std::vector<std::byte> &block, std::size_t at, std::uint16_t value)
{
    block[at] = std::byte(value & 0xFF);
    block[at + 1] = std::byte(value >> 8);
}

// The header of the node whose key is key: its length, value length and type.
std::size_t nodeOf(const std::vector<std::byte> &block, std::u16string_view key)
{
    return find(block, key) - 6;
}

struct QueryRow
{
    const char *name;
    const char *subBlock;
    std::string value;
};

void PrintTo(const QueryRow &row, std::ostream *out)
{
    *out << row.name;
}

class VersionBlockQuery : public testing::TestWithParam<QueryRow>
{};

TEST_P(VersionBlockQuery, FindsTheValueAtThePath)
{
    EXPECT_EQ(query(programBlock(), GetParam().subBlock), GetParam().value);
}

const QueryRow kQueryRows[] = {
    {"String", "\\StringFileInfo\\041103A4\\FileDescription", "qarvo\0"s},
    {"KeysInAnyCase", "\\stringfileinfo\\041103a4\\FILEDESCRIPTION", "qarvo\0"s},
    {"WithoutTheLeadingSeparator", "StringFileInfo\\041103A4\\FileVersion", "0.1.1.0\0"s},
    {"Japanese", "\\StringFileInfo\\041103A4\\Comments", "自己責任にてご使用願います\0"s},
    {"EmptyString", "\\StringFileInfo\\041103A4\\LegalTrademarks", "\0"s},
    {"Translation", "\\VarFileInfo\\Translation", "\x11\x04\xA4\x03"s},
    {"MissingKey", "\\StringFileInfo\\041103A4\\PrivateBuild", failure(ENOKEY)},
    {"MissingTable", "\\StringFileInfo\\040904B0\\FileVersion", failure(ENOKEY)},
    {"EmptyTableName", "\\StringFileInfo\\\\FileVersion", failure(ENOKEY)},
    {"KeyPrefix", "\\StringFileInfo\\041103A4\\File", failure(ENOKEY)},
};

INSTANTIATE_TEST_SUITE_P(VersionBlock, VersionBlockQuery, testing::ValuesIn(kQueryRows),
                         [](const auto &info) { return info.param.name; });

TEST(VersionBlock, TheRootValueIsTheFixedFileInformation)
{
    const std::string fixed = query(programBlock(), "\\");

    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(fixed.substr(0, 4), "\xBD\x04\xEF\xFE"s);
    EXPECT_EQ(fixed.substr(8, 8), "\x01\x00\x00\x00\x00\x00\x01\x00"s) << "0.1.1.0";
}

TEST(VersionBlock, EveryCutOfTheBlockFailsCleanly)
{
    const std::vector<std::byte> whole = programBlock();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::vector<std::byte> cut(whole.begin(), whole.begin() + std::ptrdiff_t(size));
        EXPECT_EQ(query(cut, "\\StringFileInfo\\041103A4\\Comments"), failure(EBADMSG)) << size;
    }
}

TEST(VersionBlock, AnOddTrailingByteIsIgnored)
{
    std::vector<std::byte> block = programBlock();
    block.push_back(std::byte{0x7F});

    EXPECT_EQ(query(block, "\\VarFileInfo\\Translation"), "\x11\x04\xA4\x03"s);
}

TEST(VersionBlock, TextValuesComeBackAsUtf8)
{
    std::vector<std::byte> block = programBlock();
    const std::size_t qarvo = find(block, u"qarvo");
    setWord(block, qarvo, 0xD83D); // a pair: U+1F600
    setWord(block, qarvo + 2, 0xDE00);
    setWord(block, qarvo + 4, 0xDC00); // a lone trail surrogate

    EXPECT_EQ(query(block, "\\StringFileInfo\\041103A4\\CompanyName"),
              "\U0001F600\uFFFDvo@example.org\0"s);
}

struct SpoilRow
{
    const char *name;
    std::u16string_view node; // the key of the node to spoil
    std::size_t at;           // of a word in its header
    std::uint16_t value;
};

void PrintTo(const SpoilRow &row, std::ostream *out)
{
    *out << row.name;
}

class VersionBlockSpoiled : public testing::TestWithParam<SpoilRow>
{};

TEST_P(VersionBlockSpoiled, FailsWithoutReadingOutsideTheBlock)
{
    std::vector<std::byte> block = programBlock();
    setWord(block, nodeOf(block, GetParam().node) + GetParam().at, GetParam().value);

    EXPECT_EQ(query(block, "\\StringFileInfo\\041103A4\\Comments"), failure(EBADMSG));
}

const SpoilRow kSpoilRows[] = {
    {"RootLongerThanTheBlock", u"VS_VERSION_INFO", 0, 0xFFFF},
    {"RootShorterThanItsHeader", u"VS_VERSION_INFO", 0, 5},
    {"RootOfAnotherName", u"VS_VERSION_INFO", 6, u'W'},
    {"ZeroLengthChild", u"StringFileInfo", 0, 0},
    {"ChildLongerThanItsParent", u"041103A4", 0, 0x7FF0},
    {"KeyWithoutItsEnd", u"CompanyName", 0, 6 + 2 * 11},
    {"ValuePastItsNode", u"CompanyName", 2, 0x100},
};

INSTANTIATE_TEST_SUITE_P(VersionBlock, VersionBlockSpoiled, testing::ValuesIn(kSpoilRows),
                         [](const auto &info) { return info.param.name; });

TEST(VersionBlock, OddBinaryLengthsAreKept)
{
    std::vector<std::byte> block = programBlock();
    setWord(block, nodeOf(block, u"Translation") + 2, 3);

    EXPECT_EQ(query(block, "\\VarFileInfo\\Translation"), "\x11\x04\xA4"s);
}

// Whatever the bytes say, a query ends, and it either answers or fails as documented.
TEST(VersionBlock, RandomDamageNeverEscapesTheBlock)
{
    const std::vector<std::byte> whole = programBlock();
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> place(0, whole.size() - 1);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::byte> block = whole;
        for (int hit = 0; hit < 4; ++hit)
            block[place(random)] = std::byte(random() & 0xFF);
        for (const char *path :
             {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\041103A4\\Comments"}) {
            errno = 0;
            if (!VersionBlock::query(block, path)) {
                EXPECT_TRUE(errno == EBADMSG || errno == ENOKEY) << round;
            }
        }
    }
}

} // namespace
