// The window started from an executable without a version resource: this test carries none.
#include "TfrmMain.h"

#include "ByteClasses.h"
#include "ErrorBoxCatcher.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

TEST(TfrmMainWithoutVersion, SaysWhyAndSkipsTheCaptionAndTheCommandLineLoad)
{
    ByteClasses::setProcessWide(ByteClasses::forCodePage(932));
    QCoreApplication::setApplicationName(QStringLiteral("qarvo"));
    const TempDir dir;
    const std::string file = dir.write("data.txt", "one\ntwo\n");
    ErrorBoxCatcher catcher;

    const TfrmMain window(932, {file});

    EXPECT_EQ(catcher.texts(),
              QStringList(QStringLiteral("QueryVersionInfo:%1.").arg(std::strerror(ENODATA))));
    EXPECT_EQ(window.windowTitle(), "");
    EXPECT_EQ(window.Label1->text(), QString(31, ' '));
    EXPECT_FALSE(window.SpinEdit1->isEnabled());
}

} // namespace
