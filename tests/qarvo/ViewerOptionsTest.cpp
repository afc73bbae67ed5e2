#include "ViewerOptions.h"

#include "RowName.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;

struct OptionsCase
{
    const char *name;
    Arguments arguments;
    Framing framing;
    std::string encoding;
    Arguments fileArguments;
};

class ViewerOptionsTaken : public testing::TestWithParam<OptionsCase>
{};

struct UsageCase
{
    const char *name;
    Arguments arguments;
};

class ViewerOptionsRefused : public testing::TestWithParam<UsageCase>
{};

} // namespace

TEST_P(ViewerOptionsTaken, BeforeTheFile)
{
    const ViewerOptions options(GetParam().arguments);

    EXPECT_EQ(options.framing(), GetParam().framing);
    EXPECT_EQ(options.encoding(), GetParam().encoding);
    EXPECT_EQ(options.fileArguments(), GetParam().fileArguments);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ViewerOptionsTaken,
    testing::Values(
        OptionsCase{"None", {}, Framing::lines(), "", {}},
        OptionsCase{"FileOnly", {"a.txt", "b"}, Framing::lines(), "", {"a.txt", "b"}},
        OptionsCase{
            "RecordLength", {"--record-length", "80", "f"}, Framing::fixedLength(80), "", {"f"}},
        OptionsCase{
            "RecordLengthJoined", {"--record-length=3", "f"}, Framing::fixedLength(3), "", {"f"}},
        OptionsCase{"Rdw", {"--rdw", "f"}, Framing::rdw(), "", {"f"}},
        OptionsCase{"EncodingBothForms",
                    {"--encoding", "x", "--encoding=sjis", "f"},
                    Framing::lines(),
                    "sjis",
                    {"f"}},
        OptionsCase{"OptionsEndAtTheFile", {"f", "--rdw"}, Framing::lines(), "", {"f", "--rdw"}},
        OptionsCase{"DoubleDashEndsThem", {"--", "--rdw"}, Framing::lines(), "", {"--rdw"}},
        OptionsCase{
            "EmptyFirstArgumentIsTheFile", {"", "--rdw"}, Framing::lines(), "", {"", "--rdw"}},
        OptionsCase{"LoneDashIsAFile", {"-"}, Framing::lines(), "", {"-"}}),
    rowName<OptionsCase>);

TEST(ViewerOptions, HelpAndVersion)
{
    EXPECT_TRUE(ViewerOptions({"--help"}).help());
    EXPECT_TRUE(ViewerOptions({"--version", "f"}).version());
    EXPECT_FALSE(ViewerOptions({"f", "--help"}).help());
}

TEST_P(ViewerOptionsRefused, WithAUsageError)
{
    EXPECT_THROW(ViewerOptions{GetParam().arguments}, ViewerOptions::UsageError);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ViewerOptionsRefused,
    testing::Values(UsageCase{"Unknown", {"--bogus", "f"}},
                    UsageCase{"RecordLengthZero", {"--record-length=0", "f"}},
                    UsageCase{"RecordLengthAboveMost", {"--record-length", "2147483648"}},
                    UsageCase{"RecordLengthNotNumber", {"--record-length", "8x"}},
                    UsageCase{"RecordLengthMissing", {"--record-length"}},
                    UsageCase{"EncodingMissing", {"--encoding"}},
                    UsageCase{"RecordLengthAndRdw", {"--rdw", "--record-length=8", "f"}}),
    rowName<UsageCase>);
