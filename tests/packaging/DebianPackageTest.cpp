// cpack -G DEB, then the package as dpkg-deb shows it: its control fields, its contents, and
// the stripped programs in it.
#include "ElfFile.h"
#include "InstalledFiles.h"
#include "TempDir.h"
#include "Tool.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A field of the control file as dpkg-deb --info shows it: " Field: value" lines.
std::string field(const std::string &info, const std::string &name)
{
    const std::string text = "\n" + info;
    const std::string key = "\n " + name + ": ";
    const std::size_t at = text.find(key);
    if (at == std::string::npos)
        return {};
    const std::size_t begin = at + key.size();
    return text.substr(begin, text.find('\n', begin) - begin);
}

// The files and links that a listing of dpkg-deb --contents holds, without "./", sorted.
std::vector<std::string> filesListed(const std::string &contents)
{
    std::vector<std::string> files;
    std::istringstream lines(contents);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t name = line.find(" ./");
        if (!line.starts_with('d') && name != std::string::npos)
            files.push_back(line.substr(name + 3, line.find(" -> ") - name - 3));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> underUsr(const std::vector<std::string> &files)
{
    std::vector<std::string> result;
    for (const std::string &file : files)
        result.push_back("usr/" + file);
    return result;
}

struct Made
{
    std::string skip;
    std::string failure;
    std::string package;
};

Made make(const std::string &output)
{
    Made made;
    for (const auto &[tool, package] :
         {std::pair{"dpkg-deb", "dpkg"}, std::pair{"dpkg-shlibdeps", "dpkg-dev"}}) {
        if (!Tool::find(tool)) {
            made.skip = Tool::missing(tool, package);
            return made;
        }
    }
    const std::string config = std::string(QARVO_BUILD_DIR) + "/CPackConfig.cmake";
    const ChildProcess::Outcome outcome =
        Tool::run({QARVO_CPACK, "-G", "DEB", "--config", config, "-B", output});
    for (const auto &entry : std::filesystem::directory_iterator(output)) {
        if (outcome.exitStatus == 0 && entry.path().extension() == ".deb")
            made.package = entry.path().string();
    }
    if (made.package.empty())
        made.failure = "cpack made no package:\n" + outcome.out + outcome.err;
    return made;
}

// Made once for all the tests, which run in one process.
const Made &made()
{
    static const TempDir output;
    static const Made result = make(output.path());
    return result;
}

} // namespace

class DebianPackage : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!made().skip.empty())
            GTEST_SKIP() << made().skip;
        ASSERT_EQ(made().failure, "");
        m_package = made().package;
    }

    ChildProcess::Outcome dpkgDeb(const std::string &option, const std::string &argument = {})
    {
        std::vector<std::string> arguments = {*Tool::find("dpkg-deb"), option, m_package};
        if (!argument.empty())
            arguments.push_back(argument);
        return Tool::run(arguments);
    }

    std::string m_package;
};

TEST_F(DebianPackage, InfoNamesThePackageItsVersionAndWhatItNeeds)
{
    const ChildProcess::Outcome info = dpkgDeb("--info");

    ASSERT_EQ(info.exitStatus, 0) << info.err;
    EXPECT_EQ(field(info.out, "Package"), "qarvo");
    EXPECT_EQ(field(info.out, "Version"), QARVO_VERSION);
    const std::string depends = field(info.out, "Depends");
    for (const char *package : {"fonts-ipafont-gothic", "libqt6widgets6", "libc6"})
        EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;
    EXPECT_EQ(std::filesystem::path(m_package).filename().string(),
              std::string("qarvo_") + QARVO_VERSION + "_" + field(info.out, "Architecture") +
                  ".deb");
}

TEST_F(DebianPackage, ContentsAreTheInstalledFilesUnderUsr)
{
    const ChildProcess::Outcome contents = dpkgDeb("--contents");

    ASSERT_EQ(contents.exitStatus, 0) << contents.err;
    EXPECT_EQ(filesListed(contents.out), underUsr(InstalledFiles::expected()));
}

TEST_F(DebianPackage, ProgramsAreStrippedAndKeepTheirVersionResource)
{
    TempDir tree;

    ASSERT_EQ(dpkgDeb("--extract", tree.path()).exitStatus, 0);

    const std::string viewer = tree.path("usr/bin/qarvo");
    EXPECT_TRUE(InstalledFiles::keepsTheViewersVersion(viewer));
    for (const std::string &program : {viewer, tree.path("usr/bin/qarvo-dump")}) {
        const ElfFile elf(program);
        ASSERT_TRUE(elf.isOpen()) << program;
        EXPECT_FALSE(elf.findSection(".symtab")) << program;
        EXPECT_FALSE(elf.findSection(".debug_info")) << program;
        EXPECT_FALSE(InstalledFiles::namesBuildFolder(program)) << program;
    }
}
