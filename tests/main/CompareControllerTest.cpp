#include "CompareController.h"
#include "JapaneseLeadBytes.h"

#include "CompareBar.h"
#include "CompareDialog.h"
#include "CompareDump.h"
#include "EncodingCatalog.h"
#include "LineInSight.h"
#include "TempDir.h"
#include "TfrmMain.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>

namespace {

const std::string kTail(150, 'x');
// Records 2 and 4 differ in the trail byte of 漢 (8A BF, 8A C0 is 澗) and in their last byte.
const std::string kFile = "same line\r\n"
                          "ab\x8A\xBF"
                          "cd" +
                          kTail + "1\r\n" +
                          "third\r\n"
                          "ab\x8A\xC0"
                          "cd" +
                          kTail + "2\r\n";

// A window whose Open dialog gives the paths the test has queued.
class Window : public TfrmMain
{
public:
    using TfrmMain::TfrmMain;

    std::deque<std::optional<QString>> choices;

protected:
    std::optional<QString> ExecuteOpenDialog(const QString &) override
    {
        std::optional<QString> choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

class CompareControllerTest : public testing::Test, private JapaneseLeadBytes
{
protected:
    CompareControllerTest()
    {
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_window.UserFileLoad(m_dir.write("a.txt", kFile));
    }

    CompareController *compare() const { return m_window.Compare(); }
    CompareBar *bar() const { return compare()->bar(); }
    DumpView *view() const { return m_window.Memo1; }
    void key(QKeyCombination keys)
    {
        QTest::keyClick(&m_window, keys.key(), keys.keyboardModifiers());
    }
    QString statusLine() const
    {
        return m_window.findChild<QLabel *>(QStringLiteral("StatusLine"))->text();
    }
    std::string_view shownA() const { return view()->compare()->dumpA().record().bytes; }
    std::string_view shownB() const { return view()->compare()->dumpB().record().bytes; }
    QImage rendered() const
    {
        QImage image(view()->size(), QImage::Format_RGB32);
        view()->render(&image);
        return image;
    }

    TempDir m_dir;
    Window m_window{932};
};

TEST_F(CompareControllerTest, F7StepsThroughTheDifferencesAndTheStatusLineNamesBothBytes)
{
    m_window.SpinEdit1->SetValue(2);
    compare()->compareWith({std::nullopt, 4});

    ASSERT_NE(view()->compare(), nullptr);
    EXPECT_EQ(bar()->summary(), "2 bytes differ, first at offset 3");
    EXPECT_TRUE(bar()->sources().contains("record 2 of 4")) << bar()->sources().toStdString();
    EXPECT_TRUE(bar()->sources().contains("record 4 of 4")) << bar()->sources().toStdString();
    key(Qt::Key_F7);
    EXPECT_EQ(view()->cursorByte(), 3u);
    EXPECT_TRUE(statusLine().startsWith(QString::fromUtf8("A: Offset 3  0xBF  漢")))
        << statusLine().toStdString();
    EXPECT_TRUE(statusLine().contains(QString::fromUtf8("   B: Offset 3  0xC0  澗")))
        << statusLine().toStdString();
    key(Qt::Key_F7);
    EXPECT_EQ(view()->cursorByte(), 156u);
    EXPECT_TRUE(statusLine().contains("B: Offset 156  0x32")) << statusLine().toStdString();
    key(Qt::Key_F7);
    EXPECT_EQ(view()->cursorByte(), 156u);
    EXPECT_EQ(bar()->status(), "No difference after the cursor");
    key(Qt::SHIFT | Qt::Key_F7);
    EXPECT_EQ(view()->cursorByte(), 3u);
    key(Qt::SHIFT | Qt::Key_F7);
    EXPECT_EQ(bar()->status(), "No difference before the cursor");
}

// "same line" against "third": the last differing column is past B's end.
TEST_F(CompareControllerTest, TheStatusLineSaysWhenASideHasNoSuchByte)
{
    m_window.SpinEdit1->SetValue(1);
    compare()->compareWith({std::nullopt, 3});
    key(Qt::SHIFT | Qt::Key_F7);

    EXPECT_EQ(view()->cursorByte(), 8u);
    EXPECT_TRUE(statusLine().startsWith("A: Offset 8  0x65"));
    EXPECT_TRUE(statusLine().endsWith("B: no byte at offset 8 (the record has 5)"))
        << statusLine().toStdString();
}

TEST_F(CompareControllerTest, EscAndTheSpinEditShowTheChosenRecordAsBefore)
{
    m_window.SpinEdit1->SetValue(2);
    view()->setFocus();
    const QImage before = rendered();
    compare()->compareWith({std::nullopt, 4});
    QTest::keyClick(view(), Qt::Key_Escape);

    EXPECT_EQ(view()->compare(), nullptr);
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_TRUE(rendered() == before);

    compare()->compareWith({std::nullopt, 4});
    m_window.SpinEdit1->SetValue(3);
    EXPECT_EQ(view()->compare(), nullptr);
    ASSERT_NE(view()->dump(), nullptr);
    EXPECT_EQ(view()->dump()->record().bytes, "third");
    EXPECT_FALSE(bar()->isVisible());
}

// The pair is shown again in the encoding chosen, still compared.
TEST_F(CompareControllerTest, AnotherEncodingShowsThePairInIt)
{
    m_window.SpinEdit1->SetValue(2);
    compare()->compareWith({std::nullopt, 4});

    m_window.SetEncoding(EncodingCatalog::make("UTF-8"));

    ASSERT_NE(view()->compare(), nullptr);
    EXPECT_EQ(view()->compare()->dumpA().encoding().name(), "UTF-8");
    EXPECT_EQ(shownB().substr(0, 2), "ab");
    EXPECT_TRUE(bar()->isVisible());
}

// Ctrl+D; Browse… picks the other file.
TEST_F(CompareControllerTest, TheDialogComparesWithARecordOfAnotherFile)
{
    m_window.choices.push_back(QString::fromStdString(m_dir.write("b.txt", "same lime\r\n")));
    m_window.SpinEdit1->SetValue(1);
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<CompareDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->browse()->click();
        dialog->record()->setValue(1);
        dialog->accept();
    });
    key(Qt::CTRL | Qt::Key_D);

    ASSERT_NE(view()->compare(), nullptr);
    EXPECT_EQ(shownB(), "same lime");
    EXPECT_TRUE(bar()->sources().contains("b.txt, record 1 of 1"));
    EXPECT_EQ(bar()->summary(), "1 byte differs, first at offset 7");
}

TEST_F(CompareControllerTest, BadInputSaysWhyAndKeepsTheView)
{
    m_window.SpinEdit1->SetValue(2);
    const RecordDump *shown = view()->dump();

    compare()->compareWith({QString::fromStdString(m_dir.path("missing.txt")), 1});
    EXPECT_TRUE(bar()->status().contains("missing.txt")) << bar()->status().toStdString();
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(view()->dump(), shown);

    compare()->compareWith({std::nullopt, 4});
    const CompareDump *compared = view()->compare();
    compare()->compareWith({std::nullopt, 9});
    EXPECT_TRUE(bar()->status().startsWith("Record 9 is beyond the 4 records of"))
        << bar()->status().toStdString();
    EXPECT_EQ(view()->compare(), compared);
    EXPECT_EQ(bar()->summary(), "2 bytes differ, first at offset 3");
}

TEST(CompareControllerFramingTest, AnOtherFileThatFailsItsFramingSaysWhy)
{
    JapaneseLeadBytes japanese;
    TempDir dir;
    TfrmMain window(932, {}, nullptr, Framing::rdw());
    window.UserFileLoad(dir.write("a.rdw", std::string("\x00\x07\x00\x00"
                                                       "abc",
                                                       7)));
    const RecordDump *shown = window.Memo1->dump();

    window.Compare()->compareFiles(
        QString::fromStdString(dir.write("b.rdw", std::string("\x00\x09\x00\x00"
                                                              "ab",
                                                              6))));

    EXPECT_TRUE(window.Compare()->bar()->status().contains("b.rdw"));
    EXPECT_FALSE(window.Compare()->active());
    EXPECT_EQ(window.Memo1->dump(), shown);
}

// B has two records more than A; records 2 and 4 differ.
TEST_F(CompareControllerTest, CtrlF7WalksTheDifferingRecordsOfTwoFiles)
{
    m_window.UserFileLoad(m_dir.write("five.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n"));
    m_window.choices.push_back(
        QString::fromStdString(m_dir.write("seven.txt", "1\r\n2b\r\n3\r\n4b\r\n5\r\n6\r\n7\r\n")));

    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(bar()->summary().section(';', 0, 0), "2 records differ, 0 only in A, 2 only in B");
    EXPECT_EQ(m_window.SpinEdit1->Value(), 2);
    EXPECT_EQ(shownB(), "2b");
    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(m_window.SpinEdit1->Value(), 4);
    EXPECT_EQ(shownB(), "4b");
    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(shownA(), "");
    EXPECT_EQ(shownB(), "6");
    EXPECT_TRUE(bar()->sources().contains("no such record (5 records)"));
    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(shownB(), "7");
    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(bar()->status(), "No differing record after this one");
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_F7);
    EXPECT_EQ(shownB(), "6");
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_F7);
    EXPECT_EQ(shownB(), "4b");

    m_window.SpinEdit1->SetValue(3);
    EXPECT_TRUE(compare()->comparingFiles());
    EXPECT_EQ(shownA(), "3");
    EXPECT_TRUE(bar()->summary().endsWith("identical"));
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_FALSE(compare()->active());
    ASSERT_NE(view()->dump(), nullptr);
    EXPECT_EQ(view()->dump()->record().bytes, "3");
}

// A has two records more: the spin edit follows to them.
TEST_F(CompareControllerTest, RecordsOnlyInAAreShownAgainstAnEmptySide)
{
    m_window.UserFileLoad(m_dir.write("four.txt", "1\r\n2\r\n3\r\n4\r\n"));

    compare()->compareFiles(QString::fromStdString(m_dir.write("two.txt", "1\r\n2b\r\n")));
    EXPECT_EQ(bar()->summary().section(';', 0, 0), "1 record differs, 2 only in A, 0 only in B");
    EXPECT_EQ(m_window.SpinEdit1->Value(), 2);
    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(m_window.SpinEdit1->Value(), 3);
    EXPECT_EQ(shownA(), "3");
    EXPECT_EQ(shownB(), "");
    EXPECT_TRUE(bar()->sources().contains("no such record (2 records)"));
    key(Qt::CTRL | Qt::Key_F7);
    EXPECT_EQ(m_window.SpinEdit1->Value(), 4);
}

// Two records of 6,000 bytes that differ in their last byte.
TEST_F(CompareControllerTest, CtrlEndShowsTheLastLinesAboveTheBar)
{
    const std::string record(5999, 'x');
    m_window.UserFileLoad(m_dir.write("long.txt", record + "1\r\n" + record + "2\r\n"));
    compare()->compareWith({std::nullopt, 2});

    QTest::keyClick(view(), Qt::Key_End, Qt::ControlModifier);

    ASSERT_TRUE(bar()->isVisible());
    const std::size_t markers = view()->lineCount() - 3;
    EXPECT_EQ(view()->compare()->origin(markers).kind, CompareDump::LineKind::Markers);
    for (std::size_t line = markers - 3; line < view()->lineCount(); ++line)
        EXPECT_TRUE(lineInSight(*view(), line, bar())) << line;
}

} // namespace
