// cmake --install into a temporary DESTDIR, under a prefix other than /usr: what lands where,
// and whether the installed programs stand on their own.
#include "InstalledFiles.h"
#include "TempDir.h"
#include "Tool.h"

#include <gtest/gtest.h>

namespace {

constexpr const char *kPrefix = "opt/qarvo";

} // namespace

class Install : public testing::Test
{
protected:
    void SetUp() override
    {
        const ChildProcess::Outcome outcome =
            Tool::run({"/usr/bin/env", "DESTDIR=" + m_destDir.path(), QARVO_CMAKE, "--install",
                       QARVO_BUILD_DIR, "--prefix", std::string("/") + kPrefix});
        ASSERT_EQ(outcome.exitStatus, 0) << outcome.out << outcome.err;
    }

    std::filesystem::path destDir() const { return m_destDir.path(); }
    std::string installed(const std::string &file) const
    {
        return m_destDir.path(std::string(kPrefix) + "/" + file);
    }

private:
    TempDir m_destDir;
};

TEST_F(Install, PutsEveryFileUnderThePrefixInsideDestDir)
{
    std::vector<std::string> expected;
    for (const std::string &file : InstalledFiles::expected())
        expected.push_back(std::string(kPrefix) + "/" + file);

    EXPECT_EQ(InstalledFiles::under(destDir()), expected);
}

TEST_F(Install, LeavesNoFolderOfTheBuildInAnyFile)
{
    for (const std::string &file : InstalledFiles::expected())
        EXPECT_FALSE(InstalledFiles::namesBuildFolder(installed(file))) << file;
}

TEST_F(Install, ViewerKeepsItsVersionResource)
{
    EXPECT_TRUE(InstalledFiles::keepsTheViewersVersion(installed("bin/qarvo")));
}

TEST_F(Install, InstalledDumpRunsFromThere)
{
    const ChildProcess::Outcome outcome = Tool::run({installed("bin/qarvo-dump"), "--version"});

    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, std::string("qarvo-dump ") + QARVO_VERSION + "\n");
}
