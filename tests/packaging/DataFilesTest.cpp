// The desktop entry, the AppStream metainfo and the manual pages, each judged by the tool that
// desktops, software centres and man itself judge them with.
#include "Tool.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const std::string kPackaging = std::string(QARVO_SOURCE_DIR) + "/packaging/";

struct Validation
{
    const char *name;
    const char *tool;
    const char *package;
    std::vector<std::string> arguments;
    std::string file;
    // man writes the page itself on its standard output: only its standard error tells.
    bool outputIsThePage = false;
};

void PrintTo(const Validation &validation, std::ostream *out)
{
    *out << validation.name;
}

const Validation kValidations[] = {
    {"DesktopEntry",
     "desktop-file-validate",
     "desktop-file-utils",
     {},
     kPackaging + "org.example.qarvo.desktop"},
    {"Metainfo",
     "appstreamcli",
     "appstream",
     {"validate", "--no-net"},
     kPackaging + "org.example.qarvo.metainfo.xml"},
    {"QarvoPage", "man", "man-db", {"--warnings", "-l"}, kPackaging + "qarvo.1", true},
    {"QarvoDumpPage", "man", "man-db", {"--warnings", "-l"}, QARVO_DUMP_PAGE, true},
};

// Hints and infos are advice; a warning is a fault as much as an error.
bool warns(const std::string &diagnostics)
{
    return diagnostics.find("warning:") != std::string::npos ||
           diagnostics.find("error:") != std::string::npos;
}

std::string readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

class DataFiles : public testing::TestWithParam<Validation>
{};

TEST_P(DataFiles, PassTheirValidator)
{
    const Validation &validation = GetParam();
    const std::optional<std::string> tool = Tool::find(validation.tool);
    if (!tool)
        GTEST_SKIP() << Tool::missing(validation.tool, validation.package);
    // In the plainest locale, where man warns of any character beyond ASCII in a page.
    std::vector<std::string> arguments = {"/usr/bin/env", "LC_ALL=C", *tool};
    arguments.insert(arguments.end(), validation.arguments.begin(), validation.arguments.end());
    arguments.push_back(validation.file);

    const ChildProcess::Outcome outcome = Tool::run(arguments);

    const std::string diagnostics =
        validation.outputIsThePage ? outcome.err : outcome.out + outcome.err;
    EXPECT_EQ(outcome.exitStatus, 0) << diagnostics;
    EXPECT_FALSE(warns(diagnostics)) << diagnostics;
}

INSTANTIATE_TEST_SUITE_P(Validators, DataFiles, testing::ValuesIn(kValidations),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Metainfo, NewestReleaseIsTheProgramVersion)
{
    const std::string metainfo = readAll(kPackaging + "org.example.qarvo.metainfo.xml");

    const std::string opening = "<release version=\"";
    const std::size_t release = metainfo.find(opening);

    ASSERT_NE(release, std::string::npos);
    const std::size_t begin = release + opening.size();
    EXPECT_EQ(metainfo.substr(begin, metainfo.find('"', begin) - begin), QARVO_VERSION);
}
