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

TEST(ViewerOptions, TheLayoutsOptionsAsQarvoDumpTakesThem)
{
    const ViewerOptions options({"--copybook", "o.cpy", "--layout-record=DETAIL", "--rdw",
                                 "--copybook-format", "free", "--binary=little", "--float",
                                 "ieee", "--nsymbol", "national", "o.dat"});
    const LayoutChoice &layout = options.layout();
    EXPECT_EQ(layout.copybook, "o.cpy");
    EXPECT_EQ(layout.record, "DETAIL");
    EXPECT_EQ(layout.format, CopybookReader::Format::Free);
    EXPECT_TRUE(layout.decoding.littleEndianComp5);
    EXPECT_EQ(layout.decoding.floats, FieldDecoder::Options::Floats::Ieee);
    EXPECT_TRUE(layout.decoding.nationalN);
    EXPECT_EQ(options.framing(), Framing::rdw());
    EXPECT_EQ(options.fileArguments(), Arguments{"o.dat"});
    EXPECT_TRUE(ViewerOptions({"f"}).layout().copybook.empty());
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
                    UsageCase{"RecordLengthAndRdw", {"--rdw", "--record-length=8", "f"}},
                    UsageCase{"CopybookEmpty", {"--copybook=", "f"}},
                    UsageCase{"FloatUnknown", {"--copybook", "c", "--float", "vax", "f"}},
                    UsageCase{"LayoutOptionWithoutCopybook", {"--binary", "little", "f"}}),
    rowName<UsageCase>);
