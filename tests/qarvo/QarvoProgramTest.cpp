// The real program, started with no display at all.
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class QarvoProgram : public testing::Test
{
protected:
    QarvoProgram()
    {
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            unsetenv(name);
    }

    static ChildProcess::Outcome run(const char *option)
    {
        return ChildProcess::run({QARVO, option}, {});
    }
};

TEST_F(QarvoProgram, HelpAndVersionNeedNoDisplay)
{
    const ChildProcess::Outcome help = run("--help");
    const ChildProcess::Outcome version = run("--version");

    EXPECT_EQ(help.exitStatus, 0) << help.err;
    EXPECT_TRUE(help.out.starts_with("Usage: qarvo ")) << help.out;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(version.exitStatus, 0) << version.err;
    EXPECT_TRUE(version.out.starts_with("qarvo ")) << version.out;
}

} // namespace
