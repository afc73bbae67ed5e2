// scripts/run in a copy of the tree whose package check, build and viewer only tell how they
// were called.
#include "ChildProcess.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class RunScript : public testing::Test
{
protected:
    RunScript()
    {
        fs::create_directories(m_root.path("scripts"));
        fs::create_directories(m_root.path("build/bin"));
        fs::copy_file(RUN_SCRIPT, m_root.path("scripts/run"));
        executable("scripts/ensure-packages", "#!/bin/sh\n");
        executable("scripts/build", "#!/bin/sh\n");
        executable("build/bin/qarvo", "#!/bin/sh\nprintf '%s|' \"$@\"\n");
    }

    void executable(const char *name, const char *text)
    {
        fs::permissions(m_root.write(name, text), fs::perms::owner_all);
    }
    std::string run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"/bin/bash", m_root.path("scripts/run")});
        return ChildProcess::run(arguments, {}).out;
    }
    std::string root() const { return fs::canonical(m_root.path()).string(); }

    TempDir m_root;
};

TEST_F(RunScript, OpensTheSampleAsShiftJisAndAFileInTheViewersOwnDefault)
{
    EXPECT_EQ(run({}), "--encoding|Shift_JIS|--|" + root() + "/resources/sample.txt|");
    EXPECT_EQ(run({m_root.path("a file.txt")}), "--|" + root() + "/a file.txt|");
    EXPECT_EQ(run({"--", m_root.path("-x")}), "--|" + root() + "/-x|");
}

TEST_F(RunScript, PassesOptionsOnWithTheirPathsMadeAbsolute)
{
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(run({"--encoding", "ibm-939", "--rdw", "--copybook", "o.cpy", "--float=ieee",
                   "o.dat"}),
              "--encoding|ibm-939|--rdw|--copybook|" + cwd + "/o.cpy|--float=ieee|--|" + cwd +
                  "/o.dat|");
    EXPECT_EQ(run({"--copybook=o.cpy"}),
              "--copybook=" + cwd + "/o.cpy|--|" + root() + "/resources/sample.txt|");
}

} // namespace
