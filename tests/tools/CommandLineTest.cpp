#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

CommandLine parse(std::vector<std::string_view> arguments)
{
    return CommandLine(arguments);
}

} // namespace

TEST(CommandLine, TakesOptionsAnywhereAndBothCodePageForms)
{
    const CommandLine separate = parse({"f.txt", "--codepage", "932", "--raw", "7"});
    const CommandLine joined = parse({"--count", "--codepage=1252", "f.txt"});

    EXPECT_EQ(separate.codePage(), 932);
    EXPECT_TRUE(separate.raw());
    EXPECT_EQ(separate.file(), "f.txt");
    EXPECT_EQ(separate.record(), 7u);
    EXPECT_EQ(joined.codePage(), 1252);
    EXPECT_TRUE(joined.count());
    EXPECT_EQ(joined.record(), 1u);
}

TEST(CommandLine, TakesTheFraming)
{
    EXPECT_EQ(parse({"f"}).framing(), Framing::lines());
    EXPECT_EQ(parse({"--record-length", "2147483647", "f"}).framing(),
              Framing::fixedLength(2147483647));
    EXPECT_EQ(parse({"--record-length=1", "f"}).framing(), Framing::fixedLength(1));
    EXPECT_EQ(parse({"--rdw", "f"}).framing(), Framing::rdw());
}

TEST(CommandLine, FindTakesTextOrHexInBothForms)
{
    const CommandLine text = parse({"--find", "--raw", "f.txt", "--count"});
    const CommandLine hex = parse({"--find-hex=8A BF", "f.txt"});

    EXPECT_TRUE(text.finds());
    EXPECT_FALSE(text.findHex());
    EXPECT_EQ(text.findText(), "--raw");
    EXPECT_TRUE(text.count());
    EXPECT_FALSE(text.raw());
    EXPECT_TRUE(hex.findHex());
    EXPECT_EQ(hex.findText(), "8A BF");
}

TEST(CommandLine, DoubleDashAndLoneDashAreOperands)
{
    const CommandLine dash = parse({"-", "2"});
    const CommandLine afterDoubleDash = parse({"--", "--raw", "3"});

    EXPECT_EQ(dash.file(), "-");
    EXPECT_EQ(afterDoubleDash.file(), "--raw");
    EXPECT_FALSE(afterDoubleDash.raw());
    EXPECT_EQ(afterDoubleDash.record(), 3u);
}

TEST(CommandLine, TakesTheCopybookOptions)
{
    const CommandLine layout = parse(
        {"--copybook", "c.cpy", "--layout", "--copybook-format=free", "--layout-record", "DETAIL"});
    const CommandLine json = parse({"--copybook=c.cpy", "--json", "--binary", "little", "--float",
                                    "ieee", "--nsymbol=national", "--lines", "f"});

    EXPECT_EQ(layout.layout().output(), LayoutArguments::Output::Layout);
    EXPECT_EQ(layout.layout().choice().copybook, "c.cpy");
    EXPECT_EQ(layout.layout().choice().format, CopybookReader::Format::Free);
    EXPECT_EQ(layout.layout().choice().record, "DETAIL");
    EXPECT_FALSE(layout.framingGiven());
    EXPECT_EQ(json.layout().output(), LayoutArguments::Output::Json);
    const FieldDecoder::Options &decoding = json.layout().choice().decoding;
    EXPECT_TRUE(decoding.littleEndianComp5);
    EXPECT_EQ(decoding.floats, FieldDecoder::Options::Floats::Ieee);
    EXPECT_TRUE(decoding.nationalN);
    EXPECT_TRUE(json.framingGiven());
    EXPECT_EQ(json.framing(), Framing::lines());
    EXPECT_EQ(parse({"--copybook", "c", "--fields", "f", "3"}).record(), 3u);
}

TEST(CommandLine, HelpAndVersionIgnoreWhatFollows)
{
    EXPECT_TRUE(parse({"--help", "--bogus"}).help());
    EXPECT_TRUE(parse({"--version"}).version());
}

struct UsageCase
{
    const char *name;
    std::vector<std::string_view> arguments;
};

void PrintTo(const UsageCase &row, std::ostream *out)
{
    *out << row.name;
}

class CommandLineUsage : public testing::TestWithParam<UsageCase>
{};

TEST_P(CommandLineUsage, IsRefused)
{
    EXPECT_THROW(parse(GetParam().arguments), CommandLine::UsageError);
}

const UsageCase kUsageCases[] = {
    {"NoFile", {}},
    {"OnlyOptions", {"--raw"}},
    {"EmptyFile", {""}},
    {"UnknownOption", {"-x", "f"}},
    {"CodePageMissing", {"f", "--codepage"}},
    {"CodePageNotNumber", {"--codepage", "sjis", "f"}},
    {"CodePageSigned", {"--codepage=+932", "f"}},
    {"RecordNotNumber", {"f", "2x"}},
    {"RecordNegative", {"f", "-2"}},
    {"RecordTooBig", {"f", "99999999999999999999"}},
    {"ThreeOperands", {"f", "1", "2"}},
    {"CountWithRecord", {"--count", "f", "1"}},
    {"RecordLengthZero", {"--record-length", "0", "f"}},
    {"RecordLengthAboveMost", {"--record-length=2147483648", "f"}},
    {"RecordLengthMissing", {"f", "--record-length"}},
    {"RecordLengthAndRdw", {"--record-length", "80", "--rdw", "f"}},
    {"FindMissingText", {"f", "--find"}},
    {"FindEmpty", {"--find=", "f"}},
    {"FindTwice", {"--find", "a", "--find-hex", "41", "f"}},
    {"FindWithRecord", {"--find", "a", "f", "2"}},
    {"FindRaw", {"--raw", "--find", "a", "f"}},
    {"CopybookAlone", {"--copybook", "c", "f"}},
    {"CopybookEmpty", {"--copybook=", "--json", "f"}},
    {"JsonWithoutCopybook", {"--json", "f"}},
    {"TwoCopybookOutputs", {"--copybook", "c", "--json", "--fields", "f"}},
    {"LayoutWithFile", {"--copybook", "c", "--layout", "f"}},
    {"FieldsWithoutFile", {"--copybook", "c", "--fields"}},
    {"JsonWithRecord", {"--copybook", "c", "--json", "f", "2"}},
    {"JsonAndCount", {"--copybook", "c", "--json", "--count", "f"}},
    {"FieldsAndFind", {"--copybook", "c", "--fields", "--find", "a", "f"}},
    {"BinaryMiddle", {"--copybook", "c", "--json", "--binary", "middle", "f"}},
    {"FloatMissing", {"--copybook", "c", "--json", "f", "--float"}},
    {"CopybookFormatWide", {"--copybook", "c", "--layout", "--copybook-format", "wide"}},
    {"LinesAndRdw", {"--lines", "--rdw", "f"}},
};

INSTANTIATE_TEST_SUITE_P(Errors, CommandLineUsage, testing::ValuesIn(kUsageCases),
                         [](const auto &info) { return std::string(info.param.name); });
