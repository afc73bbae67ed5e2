#include "TfrmMain.h"

#include "ErrorBoxCatcher.h"
#include "Failure.h"
#include "FindBar.h"
#include "FindController.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// The watch and the error box are heard of through the event loop.
const QString kChangedOnDisk = QStringLiteral("Changed on disk: F5 reloads");

std::string numberedLines(int count, const std::string &tag = "line")
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += tag + std::to_string(i) + std::string(2000, '.') + "\r\n";
    return text;
}

class TfrmMainReloadTest : public testing::Test
{
protected:
    explicit TfrmMainReloadTest(Framing framing = {}) : m_window(932, {}, nullptr, framing) {}

    void load(const std::string &bytes)
    {
        m_path = m_dir.write("records.txt", bytes);
        m_window.UserFileLoad(m_path);
    }
    // As an editor saves: a new file renamed over the old one.
    void replace(const std::string &bytes)
    {
        const std::string next = m_dir.write("records.txt.new", bytes);
        std::filesystem::rename(next, m_path);
    }
    QString headerLine3() const { return QString::fromStdString(m_window.Memo1->dump()->line(2)); }
    QString firstCharacters() const
    {
        return QString::fromStdString(m_window.Memo1->dump()->line(5)).mid(0, 20);
    }

    TempDir m_dir;
    std::string m_path;
    TfrmMain m_window;
};

TEST_F(TfrmMainReloadTest, KeepsTheRecordNumberAndTheBlockInSightAndShowsTheNewBytes)
{
    m_window.show();
    load(numberedLines(5));
    m_window.SpinEdit1->SetValue(4);
    m_window.Memo1->verticalScrollBar()->setValue(7);
    ASSERT_EQ(m_window.Memo1->verticalScrollBar()->value(), 7);
    replace(numberedLines(6, "LINE"));

    m_window.ReloadFile();

    EXPECT_EQ(m_window.SpinEdit1->text(), "4");
    EXPECT_EQ(m_window.Label2->text(), "/0000006");
    EXPECT_TRUE(firstCharacters().contains("LINE4")) << firstCharacters().toStdString();
    EXPECT_EQ(m_window.Memo1->verticalScrollBar()->value(), 7);
}

TEST_F(TfrmMainReloadTest, ARecordNumberPastTheNewEndComesBackToTheLastRecord)
{
    load(numberedLines(5));
    m_window.SpinEdit1->SetValue(5);
    replace(numberedLines(2));

    m_window.ReloadFile();

    EXPECT_EQ(m_window.SpinEdit1->text(), "2");
    EXPECT_EQ(m_window.SpinEdit1->MaxValue(), 2);
    EXPECT_TRUE(headerLine3().contains("0000002/0000002")) << headerLine3().toStdString();
}

TEST_F(TfrmMainReloadTest, AFileNowEmptyLeavesNoRecordAndAClearDumpArea)
{
    load(numberedLines(3));
    replace("");

    m_window.ReloadFile();

    EXPECT_EQ(m_window.Label2->text(), "/0000000");
    EXPECT_EQ(m_window.SpinEdit1->text(), "0");
    EXPECT_EQ(m_window.Memo1->dump(), nullptr);
}

TEST_F(TfrmMainReloadTest, AFileThatIsGoneFailsAndTheRecordsShownStay)
{
    load(numberedLines(3));
    m_window.SpinEdit1->SetValue(2);
    std::filesystem::remove(m_path);

    EXPECT_THROW(m_window.ReloadFile(), Failure);

    EXPECT_EQ(m_window.Label2->text(), "/0000003");
    EXPECT_TRUE(firstCharacters().contains("line2"));
}

TEST_F(TfrmMainReloadTest, AChangeOnDiskIsToldUntilTheReload)
{
    load(numberedLines(3));
    EXPECT_EQ(m_window.Notice(), "");

    replace(numberedLines(4));
    // The watch hears of the change through the event loop.
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_window.Notice() == kChangedOnDisk; }));
    m_window.ReloadFile();

    EXPECT_EQ(m_window.Notice(), "");
    EXPECT_EQ(m_window.Label2->text(), "/0000004");
}

TEST_F(TfrmMainReloadTest, TheReloadedFileIsWatchedAgain)
{
    load(numberedLines(3));
    replace(numberedLines(4));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_window.Notice().isEmpty(); }));
    m_window.ReloadFile();

    replace(numberedLines(5));

    ASSERT_TRUE(QTest::qWaitFor([this] { return m_window.Notice() == kChangedOnDisk; }));
}

// The file cut short from another descriptor while the window maps it.
class TfrmMainCutTest : public TfrmMainReloadTest
{
protected:
    TfrmMainCutTest()
    {
        load(numberedLines(3, "long") + std::string(200000, 'z'));
        m_window.SpinEdit1->SetValue(4);
    }
    void cut(std::uintmax_t size) { std::filesystem::resize_file(m_path, size); }
    QString changedMessage() const
    {
        return QString::fromStdString("ファイル " + m_path + " は読み込み中に変更されました.");
    }

    ErrorBoxCatcher m_boxes;
};

TEST_F(TfrmMainCutTest, AShownRecordPastTheCutIsToldAndTheFileLoadedAsItIsNow)
{
    cut(4000);

    m_window.SpinEdit1->SetValue(3);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_boxes.texts().isEmpty(); }));
    EXPECT_EQ(m_boxes.texts(), QStringList{changedMessage()});

    EXPECT_EQ(m_window.Label2->text(), "/0000002");
    EXPECT_EQ(m_window.SpinEdit1->text(), "2");
    EXPECT_TRUE(firstCharacters().contains("long2")) << firstCharacters().toStdString();
}

TEST_F(TfrmMainCutTest, APaintThatReadZerosBlanksTheAreaAndIsTold)
{
    m_window.show();
    cut(100000);

    m_window.Memo1->verticalScrollBar()->setValue(m_window.Memo1->verticalScrollBar()->maximum());
    m_window.Memo1->viewport()->repaint();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_boxes.texts().isEmpty(); }));
    EXPECT_EQ(m_boxes.texts(), QStringList{changedMessage()});

    EXPECT_EQ(m_window.Label2->text(), "/0000004");
    EXPECT_EQ(m_window.SpinEdit1->text(), "4");
    EXPECT_EQ(m_window.Memo1->dump()->record().bytes.size(), 100000u - 3 * 2007);
}

TEST_F(TfrmMainCutTest, AFileThatNoLongerLoadsLeavesNoRecordsAndNothingShown)
{
    cut(10);
    std::filesystem::remove(m_path);

    m_window.SpinEdit1->SetValue(1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_boxes.texts().isEmpty(); }));

    EXPECT_EQ(m_boxes.texts().front(), changedMessage());
    EXPECT_EQ(m_window.Label2->text(), "/0000000");
    EXPECT_EQ(m_window.Memo1->dump(), nullptr);
}

TEST_F(TfrmMainCutTest, AFindOverACutFileIsToldAndDoesNotBringTheWindowDown)
{
    cut(5000);

    m_window.Find()->openFind();
    m_window.Find()->bar()->field()->setText("nowhere");
    m_window.Find()->find(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_boxes.texts().isEmpty(); }));

    EXPECT_EQ(m_boxes.texts().front(), changedMessage());
    EXPECT_EQ(m_window.Label2->text(), "/0000003");
}

// More records than the spin edit's range: one-byte records of a sparse file.
class TfrmMainManyRecordsTest : public TfrmMainReloadTest
{
protected:
    static constexpr std::uint64_t kCount = std::uint64_t{1} << 31 | 9; // 2,147,483,657

    TfrmMainManyRecordsTest() : TfrmMainReloadTest(Framing::fixedLength(1))
    {
        m_path = m_dir.path("sparse.bin");
        std::filesystem::resize_file(m_dir.write("sparse.bin", "a"), kCount);
        m_window.UserFileLoad(m_path);
    }

    void goTo(const QString &target)
    {
        m_window.Find()->openGoTo();
        m_window.Find()->bar()->field()->setText(target);
        m_window.Find()->goTo();
    }
};

TEST_F(TfrmMainManyRecordsTest, TheCountLabelShowsTheWholeCountAndGoToReachesEveryRecord)
{
    EXPECT_EQ(m_window.Label2->text(), "/2147483657");

    goTo("2147483656");

    EXPECT_EQ(m_window.SpinEdit1->text(), "2147483656");
    EXPECT_TRUE(headerLine3().contains("2147483656/2147483657")) << headerLine3().toStdString();

    goTo("1");
    EXPECT_EQ(m_window.SpinEdit1->text(), "1");
    EXPECT_TRUE(headerLine3().contains("0000001/2147483657")) << headerLine3().toStdString();
}

TEST_F(TfrmMainManyRecordsTest, RecordKeysStepPastTheSpinEditsRange)
{
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    goTo("2147483656");

    QTest::keyClick(m_window.Memo1, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(headerLine3().contains("2147483657/2147483657")) << headerLine3().toStdString();
    QTest::keyClick(m_window.Memo1, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(headerLine3().contains("2147483657/2147483657"));
    QTest::keyClick(m_window.Memo1, Qt::Key_PageUp, Qt::ControlModifier);

    EXPECT_TRUE(headerLine3().contains("2147483656/2147483657")) << headerLine3().toStdString();
}

} // namespace
