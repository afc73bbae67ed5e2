// Files that other programs choke on, opened in the main window: each is refused with a
// message that names it, leaving the earlier file on screen, or shown correctly.
#include "TfrmMain.h"

#include "ByteClasses.h"
#include "ErrorBox.h"
#include "ErrorBoxCatcher.h"
#include "FileAccessOverride.h"
#include "HostileScene.h"
#include "RunningShell.h"
#include "WindowSnapshot.h"

#include <QFile>
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sys/inotify.h>
#include <sys/resource.h>

namespace {

constexpr const char *kShrinkingFile = "/sys/kernel/mm/transparent_hugepage/enabled";

std::string hex(std::string_view bytes, int shift)
{
    std::string digits = "      |";
    for (const char byte : bytes)
        digits += "0123456789ABCDEF"[(static_cast<unsigned char>(byte) >> shift) & 0x0F];
    return digits;
}

class HostileFiles : public testing::Test
{
protected:
    HostileFiles() { ByteClasses::setProcessWide(ByteClasses::forCodePage(932)); }

    // The earlier file: three records, the second on screen.
    void showEarlierFile()
    {
        m_window.UserFileLoad(m_scene.dir().write("earlier.txt", "one\r\ntwo\r\nthree\r\n"));
        m_window.SpinEdit1->setText("2");
    }

    // The messages shown while loading path.
    QStringList load(const std::string &path)
    {
        ErrorBoxCatcher catcher;
        ErrorBox::guard([&] { m_window.UserFileLoad(path); });
        return catcher.texts();
    }

    QStringList dumpLines()
    {
        m_window.Memo1->selectAll();
        return m_window.Memo1->selectedText().split('\n');
    }

    HostileScene m_scene;
    TfrmMain m_window{932};
};

class HostileFilesRefused : public HostileFiles, public testing::WithParamInterface<RefusedPath>
{};

TEST_P(HostileFilesRefused, WithAMessageNamingThemAndTheEarlierFileStays)
{
    showEarlierFile();
    const WindowSnapshot before = WindowSnapshot::of(m_window);
    const std::string path = (m_scene.*GetParam().make)();

    const FileAccessOverride::Suspended asAnyUser;
    const QStringList messages = load(path);

    EXPECT_EQ(messages, QStringList{QString::fromStdString("ファイル " + path + " は開けません.")});
    EXPECT_EQ(WindowSnapshot::of(m_window), before);
}

INSTANTIATE_TEST_SUITE_P(Paths, HostileFilesRefused, testing::ValuesIn(kRefusedPaths),
                         [](const auto &info) { return std::string(info.param.name); });

// Opening a FIFO releases a writer waiting at its other end; devices may act on being opened.
TEST_F(HostileFiles, AFifoIsRefusedWithoutBeingOpened)
{
    const std::string path = m_scene.fifoWithoutWriter();
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(watch, path.c_str(), IN_OPEN);

    const QStringList messages = load(path);

    alignas(inotify_event) char events[sizeof(inotify_event) + NAME_MAX + 1];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "the FIFO was opened";
    EXPECT_EQ(messages.size(), 1);
    close(watch);
}

struct RecordlessFile
{
    const char *name;
    std::string bytes;
};

void PrintTo(const RecordlessFile &row, std::ostream *out)
{
    *out << row.name;
}

class HostileFilesWithoutRecords : public HostileFiles,
                                   public testing::WithParamInterface<RecordlessFile>
{};

TEST_P(HostileFilesWithoutRecords, ShowTheirPathAndNoCountAndKeepTheEarlierDump)
{
    showEarlierFile();
    const WindowSnapshot before = WindowSnapshot::of(m_window);
    const std::string path = m_scene.dir().write("recordless.txt", GetParam().bytes);

    const QStringList messages = load(path);

    WindowSnapshot expected = before;
    expected.label1 = QString::fromStdString(path);
    expected.label2 = "/0000000";
    expected.maxValue = 0;
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(WindowSnapshot::of(m_window), expected);
}

const RecordlessFile kRecordlessFiles[] = {{"ZeroBytes", ""},
                                           {"FirstByteNul", std::string("\0A\r\n", 4)}};

INSTANTIATE_TEST_SUITE_P(Files, HostileFilesWithoutRecords, testing::ValuesIn(kRecordlessFiles),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HostileFiles, OnlyLineEndsAreEmptyRecords)
{
    const std::string path = m_scene.dir().write("ends.txt", "\r\n\n\r\r\n\n\n");

    EXPECT_TRUE(load(path).isEmpty());

    EXPECT_EQ(m_window.Label2->text(), "/0000006");
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000000");
    EXPECT_EQ(m_window.SpinEdit1->text(), "1");
    EXPECT_EQ(dumpLines().size(), 6);
}

TEST_F(HostileFiles, ANameOfInvalidUtf8LoadsAndShowsWithReplacementCharacters)
{
    const std::string path = m_scene.dir().write("bad-\xFF\xFE\x80.txt", "A\r\nB\r\n");

    EXPECT_TRUE(load(path).isEmpty());

    const QString shownName = QFile::decodeName(QByteArray::fromStdString(path));
    EXPECT_TRUE(shownName.contains(QChar(0xFFFD)));
    EXPECT_EQ(m_window.Label1->text(), shownName);
    EXPECT_EQ(m_window.Label2->text(), "/0000002");
    EXPECT_EQ(dumpLines().value(0), ": " + shownName);
}

TEST_F(HostileFiles, EveryByteValueAtEveryColumnHasItsDigitsUnderIt)
{
    const std::string record = everyByteAtEveryColumn();
    const std::string path = m_scene.dir().write("bytes.txt", record + "\r\nabc\x81");

    EXPECT_TRUE(load(path).isEmpty());

    const QStringList lines = dumpLines();
    const std::size_t blocks = record.size() / 100;
    ASSERT_EQ(lines.size(), qsizetype(5 + 5 * blocks + 1));
    for (std::size_t block = 0; block < blocks; ++block) {
        const auto at = static_cast<qsizetype>(5 + 5 * block);
        const std::string_view bytes = std::string_view(record).substr(block * 100, 100);
        EXPECT_TRUE(lines[at].startsWith(QString::asprintf("%.6zu|", block * 100)));
        EXPECT_EQ(lines[at + 2].toStdString(), hex(bytes, 4)) << "block " << block;
        EXPECT_EQ(lines[at + 3].toStdString(), hex(bytes, 0)) << "block " << block;
    }
}

TEST_F(HostileFiles, ALeadByteEndingTheRecordStandsAlone)
{
    const std::string path = m_scene.dir().write("lead.txt", "abc\x81\r\nZ");

    EXPECT_TRUE(load(path).isEmpty());

    const QStringList lines = dumpLines();
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000004");
    EXPECT_TRUE(lines.value(5).startsWith("000000|abc"));
    EXPECT_EQ(lines.value(5).size(), 11);
    EXPECT_EQ(lines.value(7), "      |6668");
    EXPECT_EQ(lines.value(8), "      |1231");
}

// A file in /sys claims a page and holds less: the bytes that are there make the records.
TEST_F(HostileFiles, AFileShorterThanItsSizeGivesTheBytesThatAreThere)
{
    std::ifstream in(kShrinkingFile);
    if (!in)
        GTEST_SKIP() << kShrinkingFile << " is not there";
    std::string firstLine;
    std::getline(in, firstLine);

    EXPECT_TRUE(load(kShrinkingFile).isEmpty());

    EXPECT_EQ(m_window.Label2->text(), "/0000001");
    EXPECT_EQ(m_window.Label3->text(),
              QString::asprintf("Record Length : %.6zu", firstLine.size()));
}

// Another process grows and empties the file again and again while it is loaded: each load
// shows whole lines or a cut last one, or is refused while the writer has the file open or
// because the file was emptied during the load.
TEST_F(HostileFiles, AFileChangingWhileReadIsShownOrRefusedButNeverGarbled)
{
    const std::string path = m_scene.dir().write("changing.txt", "");
    const RunningShell writer(kGrowAndEmpty, path);
    const QString refused = QString::fromStdString("ファイル " + path + " は開けません.");
    const QString changed =
        QString::fromStdString("ファイル " + path + " は読み込み中に変更されました.");

    int refusals = 0;
    for (int i = 0; i < 300; ++i) {
        // A file shown and then cut is told of once the window next looks at its bytes,
        // which may be during the next load.
        const QStringList messages = load(path);
        refusals += !messages.isEmpty();
        for (const QString &message : messages)
            ASSERT_TRUE(message == refused || message == changed) << i;
        // A refusal leaves the label as it was, which before the first load is blank.
        const QString count = m_window.Label2->text();
        ASSERT_TRUE(count == "/0000000" || count == "/0000001" || count == "/0000002" ||
                    (refusals == i + 1 && count.trimmed().isEmpty()))
            << i;
    }

    RecordProperty("refusals", refusals);
}

// A sanitizer keeps its shadow memory outside any limit the process may set; there the
// memory limit of RecordStore stands in for it (RecordStoreTest).
TEST_F(HostileFiles, AFileLargerThanTheMemoryAllowedIsRefusedAndTheEarlierFileStays)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
    showEarlierFile();
    const WindowSnapshot before = WindowSnapshot::of(m_window);
    const std::string path = m_scene.dir().path("huge.bin");
    std::ofstream(path).close();
    const std::uintmax_t gib = std::uintmax_t{1} << 30;
    std::filesystem::resize_file(path, 4 * gib);
    rlimit saved = {};
    getrlimit(RLIMIT_AS, &saved);
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    const rlimit lowered = {pages * sysconf(_SC_PAGESIZE) + gib, saved.rlim_max};

    setrlimit(RLIMIT_AS, &lowered);
    const QStringList messages = load(path);
    setrlimit(RLIMIT_AS, &saved);

    EXPECT_EQ(messages, QStringList{"メモリが足りません."});
    EXPECT_EQ(WindowSnapshot::of(m_window), before);
}

} // namespace
