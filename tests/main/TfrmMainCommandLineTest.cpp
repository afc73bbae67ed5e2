#include "TfrmMain.h"

#include "ByteClasses.h"
#include "CurrentFolder.h"
#include "ErrorBoxCatcher.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The window as started in ~/Work/Sub, where "~" is a temp folder.
class TfrmMainCommandLine : public testing::Test
{
protected:
    TfrmMainCommandLine()
    {
        ByteClasses::setProcessWide(ByteClasses::forCodePage(932));
        QCoreApplication::setApplicationName(QStringLiteral("qarvo"));
        for (const char *folder : {"Work/Sub", "Work/\x95\x5C"})
            fs::create_directories(m_dir.path(folder));
        for (const char *file :
             {"Work/Data File.txt", "Work/Other.txt", "Work/\x95\x5C/In.txt", "Work/データ.txt"})
            m_dir.write(file, "one\ntwo\n");
        mkfifo(m_dir.path("Work/fifo").c_str(), 0600);
    }

    std::string resolved(std::string path) const
    {
        if (path.starts_with('~'))
            path.replace(0, 1, m_dir.path());
        return path;
    }

    TfrmMain &start(std::vector<std::string> arguments)
    {
        for (std::string &argument : arguments)
            argument = resolved(argument);
        const CurrentFolder inSub(m_dir.path("Work/Sub"));
        return m_window.emplace(932, std::move(arguments));
    }

    QString dumpLine(std::size_t line)
    {
        m_window->Memo1->selectAll();
        return m_window->Memo1->selectedText().split('\n').value(qsizetype(line));
    }

    void expectNoFile()
    {
        EXPECT_EQ(m_window->Label1->text(), QString(31, ' '));
        EXPECT_FALSE(m_window->SpinEdit1->isEnabled());
        EXPECT_EQ(m_window->SpinEdit1->MaxValue(), 0);
    }

    TempDir m_dir;
    ErrorBoxCatcher m_catcher;
    std::optional<TfrmMain> m_window;
};

struct LoadRow
{
    const char *name;
    std::vector<std::string> arguments;
    const char *stored;

    friend void PrintTo(const LoadRow &row, std::ostream *out) { *out << row.name; }
};

class TfrmMainCommandLineLoads : public TfrmMainCommandLine,
                                 public testing::WithParamInterface<LoadRow>
{};

TEST_P(TfrmMainCommandLineLoads, TheFileUnderItsStoredNames)
{
    const QString stored =
        QFile::decodeName(QByteArray::fromStdString(resolved(GetParam().stored)));

    start(GetParam().arguments);

    EXPECT_EQ(m_window->Label1->text(), stored);
    EXPECT_EQ(dumpLine(0), ": " + stored);
    EXPECT_EQ(m_window->Label2->text(), "/0000002");
    EXPECT_EQ(m_window->SpinEdit1->text(), "1");
    EXPECT_TRUE(m_catcher.shown().empty());
}

const LoadRow kLoadRows[] = {
    {"RelativeWithDotDotInOtherCase", {"../DATA FILE.TXT"}, "~/Work/Data File.txt"},
    {"EmptyFirstArgumentSkipped", {"", "../Other.txt"}, "~/Work/Other.txt"},
    {"SecondArgumentIgnored", {"../Other.txt", "../Data File.txt"}, "~/Work/Other.txt"},
    {"WildcardTakesTheFirstMatch", {"../*.TXT"}, "~/Work/Data File.txt"},
    {"ShiftJisFolder", {"../\x95\x5C/IN.TXT"}, "~/Work/\x95\x5C/In.txt"},
    {"Utf8Name", {"../データ.TXT"}, "~/Work/データ.txt"},
};

INSTANTIATE_TEST_SUITE_P(Arguments, TfrmMainCommandLineLoads, testing::ValuesIn(kLoadRows),
                         [](const testing::TestParamInfo<LoadRow> &info) {
                             return info.param.name;
                         });

struct IgnoredRow
{
    const char *name;
    std::vector<std::string> arguments;
    const char *missing = ""; // the path told of, "~" for the temp folder

    friend void PrintTo(const IgnoredRow &row, std::ostream *out) { *out << row.name; }
};

class TfrmMainCommandLineIgnores : public TfrmMainCommandLine,
                                   public testing::WithParamInterface<IgnoredRow>
{};

// A name that nothing answers to is told in the status line; no error box either way.
TEST_P(TfrmMainCommandLineIgnores, LoadsNothingAndTellsOnlyOfAMissingName)
{
    start(GetParam().arguments);

    expectNoFile();
    EXPECT_TRUE(m_catcher.shown().empty());
    const std::string missing = resolved(GetParam().missing);
    EXPECT_EQ(m_window->Notice().toStdString(), missing.empty() ? "" : "No such file: " + missing);
}

const IgnoredRow kIgnoredRows[] = {
    {"NoArgument", {}},
    {"OnlyEmptyArguments", {"", ""}},
    {"Folder", {"../SUB"}},
    {"FolderWithSeparator", {"../Sub/"}},
    {"Missing", {"missing.txt"}, "~/Work/Sub/missing.txt"},
    {"MissingFirstThenAFile", {"missing.txt", "../Other.txt"}, "~/Work/Sub/missing.txt"},
    {"TrailingSlash", {"../Other.txt/"}, "~/Work/Other.txt/"},
    {"Fifo", {"../FIFO"}},
};

INSTANTIATE_TEST_SUITE_P(Arguments, TfrmMainCommandLineIgnores, testing::ValuesIn(kIgnoredRows),
                         [](const testing::TestParamInfo<IgnoredRow> &info) {
                             return info.param.name;
                         });

TEST_F(TfrmMainCommandLine, AnUnreadableFileReachesTheErrorBoxBeforeTheWindowShows)
{
    const int writer = open(m_dir.path("Work/Other.txt").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(writer, 0);

    start({"../OTHER.TXT"});
    const QStringList beforeShowing = m_catcher.texts();
    m_window->show();
    close(writer);

    const QString stored = QString::fromStdString(m_dir.path("Work/Other.txt"));
    EXPECT_EQ(beforeShowing, QStringList{"ファイル " + stored + " は開けません."});
    EXPECT_TRUE(m_window->isVisible());
    expectNoFile();
}

} // namespace
