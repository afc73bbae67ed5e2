#include "RdwSplitter.h"

#include "FailureMessage.h"
#include "RowName.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using Records = std::vector<std::string>;

constexpr auto kNoLimit = std::numeric_limits<std::uint64_t>::max();

std::string rdw(const std::string &data)
{
    const std::size_t length = data.size() + 4;
    return std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xFF), '\0',
                       '\0'} +
           data;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int value : values)
        out += static_cast<char>(value);
    return out;
}

Records split(const std::string &file)
{
    const RecordIndex index = RdwSplitter::split(file, kNoLimit);
    Records records;
    for (std::size_t i = 0; i < index.count(); ++i)
        records.emplace_back(RdwSplitter::record(file, index.start(i)));
    return records;
}

struct FailureCase
{
    const char *name;
    std::string file;
    std::string message;
};

class RdwSplitterFailures : public testing::TestWithParam<FailureCase>
{};

} // namespace

TEST(RdwSplitter, TakesTheBytesAfterEachRdwWhateverTheyAre)
{
    const std::string controls("\r\n\0\xFF", 4);
    const std::string file = rdw("AB") + rdw("") + rdw(controls) + rdw(std::string(300, 'x'));

    EXPECT_EQ(split(file), (Records{"AB", "", controls, std::string(300, 'x')}));
    EXPECT_EQ(split(""), Records{});
}

TEST_P(RdwSplitterFailures, NameTheOffsetAndWhatIsWrong)
{
    EXPECT_EQ(failureMessage([] { split(GetParam().file); }), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rdws, RdwSplitterFailures,
    testing::Values(
        FailureCase{"LengthBelowFour", rdw("A") + bytes({0, 2, 0, 0}),
                    "RDW at offset 5: length 2 is below 4"},
        FailureCase{"LengthZero", bytes({0, 0, 0, 0}), "RDW at offset 0: length 0 is below 4"},
        FailureCase{"SecondHalfNotZero", rdw("AB") + bytes({0, 4, 1, 0x2A}),
                    "RDW at offset 6: bytes 3 and 4 are 01 2A, not zero"},
        FailureCase{"RecordPastTheEnd", rdw("A") + bytes({0, 9, 0, 0}) + "xyz",
                    "RDW at offset 5: length 9 runs past the end of the file, 7 bytes on"},
        FailureCase{"FileEndsInsideAnRdw", rdw("A") + bytes({0, 4}),
                    "RDW at offset 5: the file ends 2 bytes into the RDW"}),
    rowName<FailureCase>);

TEST(RdwSplitter, HeedsCancelAndTheMemoryLimit)
{
    const std::string file = rdw("A") + rdw("B");
    LoadControl control;
    control.cancel();

    EXPECT_THROW(RdwSplitter::split(file, kNoLimit, &control), LoadControl::Cancelled);
    EXPECT_THROW(RdwSplitter::split(file, 8, nullptr), std::bad_alloc);
}
