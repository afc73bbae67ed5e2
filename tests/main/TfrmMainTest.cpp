#include "TfrmMain.h"
#include "JapaneseLeadBytes.h"

#include "ByteClasses.h"
#include "CharacterEncoder.h"
#include "CompareBar.h"
#include "CompareController.h"
#include "EncodingSelector.h"
#include "ErrorBox.h"
#include "ErrorBoxCatcher.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFontDatabase>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <deque>
#include <ostream>

namespace {

constexpr std::size_t kFirstCharacterRow = 5;

// The window with the Open dialog answered by the test.
class TestWindow : public TfrmMain
{
public:
    TestWindow() : TfrmMain(932) {}

    std::deque<std::optional<QString>> choices;
    QStringList preselected;

protected:
    std::optional<QString> ExecuteOpenDialog(const QString &previous) override
    {
        preselected << previous;
        std::optional<QString> choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

// What a load and a rendering may change, to see that a step changed none of it.
struct Shown
{
    QString label1, label2, label3, spinText;
    int maxValue;
    bool spinEnabled;
    QString dump;

    bool operator==(const Shown &) const = default;
    friend void PrintTo(const Shown &shown, std::ostream *out)
    {
        *out << "{" << shown.label1.toStdString() << " | " << shown.label2.toStdString() << " | "
             << shown.label3.toStdString() << " | spin " << shown.spinText.toStdString() << " of "
             << shown.maxValue << (shown.spinEnabled ? " enabled" : " disabled") << " | dump "
             << shown.dump.left(200).toStdString() << "}";
    }
};

class TfrmMainTest : public testing::Test, private JapaneseLeadBytes
{
protected:
    TfrmMainTest() { QCoreApplication::setApplicationName(QStringLiteral("qarvo")); }

    QString file(const char *name, std::string_view bytes) const
    {
        return QString::fromStdString(m_dir.write(name, bytes));
    }
    QString threeRecords() const { return file("three.txt", "one\r\nHi\t\x8A\xBF\xB6!\r\nthree"); }

    QString dumpText()
    {
        m_window.Memo1->selectAll();
        return m_window.Memo1->selectedText();
    }
    QString dumpLine(std::size_t line) { return dumpText().split('\n').value(qsizetype(line)); }
    Shown shown()
    {
        return {m_window.Label1->text(),
                m_window.Label2->text(),
                m_window.Label3->text(),
                m_window.SpinEdit1->text(),
                m_window.SpinEdit1->MaxValue(),
                m_window.SpinEdit1->isEnabled(),
                dumpText()};
    }
    void type(const QString &text) { m_window.SpinEdit1->setText(text); }

    TempDir m_dir;
    TestWindow m_window;
};

TEST_F(TfrmMainTest, StartsWithoutAFile)
{
    EXPECT_FALSE(m_window.SpinEdit1->isEnabled());
    EXPECT_FALSE(m_window.SpinEdit1->EditorEnabled());
    EXPECT_EQ(m_window.SpinEdit1->text(), "0");
    EXPECT_EQ(m_window.SpinEdit1->MaxValue(), 0);
    EXPECT_EQ(m_window.Label1->text(), QString(31, ' '));
    EXPECT_EQ(m_window.Label2->text(), QString(25, ' '));
    EXPECT_EQ(m_window.Label3->text(), QString(15, ' '));
    EXPECT_EQ(dumpText(), "");
    EXPECT_EQ(m_window.pos(), QPoint(440, 108));
    EXPECT_EQ(m_window.size(), QSize(724, 698));
}

TEST_F(TfrmMainTest, CaptionNamesTheProgramAndItsVersion)
{
    EXPECT_EQ(m_window.windowTitle(), "qarvo Version 0.1.1.0");
}

TEST_F(TfrmMainTest, AboutShowsTheAboutBoxModally)
{
    QDialog aboutBox;
    m_window.SetAboutBox(&aboutBox);
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = aboutBox.isVisible() && aboutBox.isModal();
        aboutBox.accept();
    });

    QTest::mouseClick(m_window.Button2, Qt::LeftButton);

    EXPECT_TRUE(shownModally);
}

TEST_F(TfrmMainTest, TabVisitsTheButtonsTheEnabledSpinEditThenTheFramingSelector)
{
    const auto tabStops = [this] {
        QList<QWidget *> stops;
        QWidget *widget = m_window.Button1;
        do {
            if (widget->focusPolicy() & Qt::TabFocus && widget->isEnabled())
                stops << widget;
            widget = widget->nextInFocusChain();
        } while (widget != m_window.Button1);
        return stops;
    };
    // The encoding controls come after the laid-out ones.
    auto *selector = m_window.findChild<QWidget *>(QStringLiteral("EncodingSelector"));
    auto *detect = m_window.findChild<QWidget *>(QStringLiteral("DetectButton"));
    const QList<QWidget *> before = tabStops();

    m_window.UserFileLoad(threeRecords());

    EXPECT_EQ(before, (QList<QWidget *>{m_window.Button1, m_window.Button2, m_window.BitBtn1,
                                        m_window.ComboBox1, selector, detect}));
    EXPECT_EQ(tabStops(),
              (QList<QWidget *>{m_window.Button1, m_window.SpinEdit1, m_window.Button2,
                                m_window.BitBtn1, m_window.ComboBox1, selector, detect}));
    EXPECT_EQ(m_window.Memo1->focusPolicy(), Qt::ClickFocus);
}

TEST_F(TfrmMainTest, ButtonsAnswerToAltAndTheirLetter)
{
    EXPECT_EQ(m_window.Button1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_O));
    EXPECT_EQ(m_window.Button2->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
    EXPECT_EQ(m_window.BitBtn1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
}

// The face that the first installed family of the list resolves to, by whatever name.
QString firstInstalled(const QStringList &families)
{
    for (const QString &family : families) {
        if (QFontDatabase::hasFamily(family))
            return QFontInfo(QFont(family)).family();
    }
    return QString();
}

TEST_F(TfrmMainTest, TakesTheNamedFacesOrTheirLookAlikesInPixels)
{
    const QString window = firstInstalled({"ＭＳ Ｐゴシック", "IPAPGothic"});
    const QString dump = firstInstalled({"ＭＳ ゴシック", "IPAGothic"});

    ASSERT_FALSE(window.isEmpty());
    ASSERT_FALSE(dump.isEmpty());
    EXPECT_EQ(QFontInfo(m_window.Label1->font()).family(), window);
    EXPECT_EQ(QFontInfo(m_window.Memo1->font()).family(), dump);
    EXPECT_EQ(QFontInfo(m_window.Label1->font()).pixelSize(), 12);
    EXPECT_EQ(QFontInfo(m_window.Memo1->font()).pixelSize(), 12);
}

TEST_F(TfrmMainTest, ResizingMovesOnlyTheDumpAreaEdges)
{
    const auto geometries = [this] {
        return QList<QRect>{m_window.Label1->geometry(),    m_window.Label2->geometry(),
                            m_window.Label3->geometry(),    m_window.Button1->geometry(),
                            m_window.SpinEdit1->geometry(), m_window.Button2->geometry(),
                            m_window.BitBtn1->geometry()};
    };
    m_window.show();
    const QList<QRect> before = geometries();

    m_window.resize(900, 800);
    const QRect grown = m_window.Memo1->geometry();
    m_window.resize(600, 300);
    const QRect shrunk = m_window.Memo1->geometry();

    EXPECT_EQ(geometries(), before);
    EXPECT_EQ(before.mid(3, 1), QList<QRect>{QRect(16, 32, 49, 25)});
    EXPECT_EQ(grown, QRect(16, 128, 900 - 16 - 21, 800 - 128 - 16));
    EXPECT_EQ(shrunk, QRect(16, 128, 600 - 16 - 21, 300 - 128 - 16));
}

// At the laid-out size a block's rows fit; narrower, a scroll bar reaches their end.
TEST_F(TfrmMainTest, AtItsMinimumSizeEveryLaidOutControlShowsWholeAndEveryColumnCanBeReached)
{
    m_window.show();
    m_window.UserFileLoad(threeRecords());
    const bool scrollsAtFirst = m_window.Memo1->horizontalScrollBar()->isVisible();

    m_window.resize(300, 200);

    EXPECT_FALSE(scrollsAtFirst);
    const QList<QWidget *> laidOut{
        m_window.Button1,
        m_window.Button2,
        m_window.BitBtn1,
        m_window.SpinEdit1,
        m_window.Label4,
        m_window.ComboBox1,
        m_window.SpinBox1,
        m_window.Memo1,
        m_window.findChild<QWidget *>(QStringLiteral("EncodingSelector")),
        m_window.findChild<QWidget *>(QStringLiteral("DetectButton"))};
    for (const QWidget *control : laidOut)
        EXPECT_TRUE(m_window.rect().contains(control->geometry()))
            << control->objectName().toStdString();
    QScrollBar *across = m_window.Memo1->horizontalScrollBar();
    ASSERT_TRUE(across->isVisible());
    across->setValue(across->maximum());
    const QFontMetricsF metrics(m_window.Memo1->font());
    const double rulerEnd = 2 + 107 * metrics.horizontalAdvance(QLatin1Char('0'));
    EXPECT_LE(rulerEnd - across->value(), m_window.Memo1->viewport()->width());
}

// 8A BF B6 of record 2 are Shift-JIS; the record box holds no number the box takes.
TEST_F(TfrmMainTest, AnotherEncodingRendersTheRecordShownWhateverTheRecordBoxHolds)
{
    m_window.UserFileLoad(threeRecords());
    type("2");
    type("2.");
    auto *selector = m_window.findChild<EncodingSelector *>(QStringLiteral("EncodingSelector"));

    emit selector->activated(selector->findData(QStringLiteral("UTF-8")));

    EXPECT_EQ(m_window.Memo1->dump()->encoding().name(), "UTF-8");
    EXPECT_EQ(dumpLine(2), ": (0000002/0000003)");
    EXPECT_EQ(m_window.SpinEdit1->text(), "2.");
}

TEST_F(TfrmMainTest, DetectGoesOnForEveryFileUntilAnEncodingIsPickedByName)
{
    const std::string japanese = "東京都の天気は晴れ、気温は二十度です。明日も晴れるでしょう。\r\n";
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += japanese;
    const std::string shiftJis = CharacterEncoder("CP932").encode(text).bytes;
    auto *selector = m_window.findChild<EncodingSelector *>(QStringLiteral("EncodingSelector"));
    const auto shownName = [&] {
        return m_window.CurrentEncoding().name() + " " + selector->currentText().toStdString();
    };
    m_window.UserFileLoad(file("utf8.txt", text));

    QTest::mouseClick(m_window.findChild<QPushButton *>(QStringLiteral("DetectButton")),
                      Qt::LeftButton);
    const std::string first = shownName();
    m_window.UserFileLoad(file("sjis.txt", shiftJis));
    const std::string second = shownName();
    emit selector->activated(selector->findData(QStringLiteral("EUC-JP")));
    m_window.UserFileLoad(file("again.txt", text));

    EXPECT_EQ(first, "UTF-8 UTF-8");
    EXPECT_EQ(second, "Shift_JIS Shift_JIS");
    EXPECT_EQ(m_window.CurrentEncoding().name(), "EUC-JP");
}

// A packed-decimal zero (00 0C) after five bytes ends the text of a file framed as lines.
// At the status line's right end, beside the words on the byte under the cursor.
TEST_F(TfrmMainTest, TextEndingAtANulIsToldWithTheNulsOffsetAndTheBytesAfterIt)
{
    m_window.show();
    m_window.UserFileLoad(file("packed.txt", std::string("12345\0\x0C"
                                                         "AB\r\nnext\r\n",
                                                         15)));
    const QString told = m_window.Notice();
    const int records = m_window.SpinEdit1->MaxValue();
    const auto *notice = m_window.findChild<QLabel *>(QStringLiteral("NoticeLine"));
    const auto *status = m_window.findChild<QLabel *>(QStringLiteral("StatusLine"));
    const QRect noticeAt = notice->geometry();
    const QRect statusAt = status->geometry();
    const bool shown = notice->isVisible();

    m_window.UserFileLoad(threeRecords());

    EXPECT_TRUE(shown);
    EXPECT_EQ(noticeAt.right(), m_window.Memo1->geometry().right());
    EXPECT_GE(noticeAt.width(), notice->fontMetrics().horizontalAdvance(told));
    EXPECT_EQ(statusAt.right() + 1, noticeAt.left());
    EXPECT_EQ(status->geometry().right(), noticeAt.right());
    EXPECT_EQ(records, 1);
    EXPECT_EQ(told, "NUL at offset 5 ends the text: 9 bytes not shown (see Records)");
    EXPECT_EQ(m_window.Notice(), "");
}

TEST_F(TfrmMainTest, CtrlPageDownAndUpStepThroughTheRecordsFromAnywhere)
{
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    m_window.UserFileLoad(threeRecords());
    QTest::mouseClick(m_window.Memo1->viewport(), Qt::LeftButton);

    QTest::keyClick(m_window.Memo1, Qt::Key_PageDown, Qt::ControlModifier);
    const QString fromDump = m_window.SpinEdit1->text();
    m_window.Button2->setFocus();
    QTest::keyClick(m_window.Button2, Qt::Key_PageDown, Qt::ControlModifier);
    const QString fromButton = m_window.SpinEdit1->text();
    QTest::keyClick(m_window.Button2, Qt::Key_PageUp, Qt::ControlModifier);

    EXPECT_EQ(fromDump, "2");
    EXPECT_EQ(fromButton, "3");
    EXPECT_EQ(m_window.SpinEdit1->text(), "2");
    EXPECT_EQ(dumpLine(2), ": (0000002/0000003)");
}

// With no file there is no record to compare: Ctrl+D says so and opens no dialog.
TEST_F(TfrmMainTest, CtrlDWithoutAFileOffersNothingItCannotDo)
{
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    bool dialogShown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });

    QTest::keyClick(&m_window, Qt::Key_D, Qt::ControlModifier);
    QCoreApplication::processEvents();

    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(m_window.Compare()->bar()->status(), "No record is shown to compare");
}

TEST_F(TfrmMainTest, LoadShowsThePathTheCountAndRecordOne)
{
    const QString path = threeRecords();

    m_window.UserFileLoad(path);

    EXPECT_EQ(m_window.Label1->text(), path);
    EXPECT_EQ(m_window.Label2->text(), "/0000003");
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000003");
    EXPECT_TRUE(m_window.SpinEdit1->isEnabled());
    EXPECT_TRUE(m_window.SpinEdit1->EditorEnabled());
    EXPECT_EQ(m_window.SpinEdit1->text(), "1");
    EXPECT_EQ(dumpLine(0), ": " + path);
    EXPECT_EQ(dumpLine(1), ": Record Length : 000003");
    EXPECT_EQ(dumpLine(2), ": (0000001/0000003)");
    EXPECT_EQ(dumpLine(kFirstCharacterRow), "000000|one");
}

TEST_F(TfrmMainTest, ChangingTheNumberRendersThatRecordDecoded)
{
    m_window.UserFileLoad(threeRecords());

    type("2");

    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000007");
    EXPECT_EQ(dumpLine(2), ": (0000002/0000003)");
    EXPECT_EQ(dumpLine(kFirstCharacterRow), "000000|Hi.漢ｶ!");
    EXPECT_EQ(dumpLine(kFirstCharacterRow + 2), "      |4608BB2");
}

TEST_F(TfrmMainTest, TypingANumberThenCopyingAllOfTheDumpGivesThatRecordDecoded)
{
    m_window.show();
    m_window.UserFileLoad(threeRecords());

    m_window.SpinEdit1->selectAll();
    QTest::keyClicks(m_window.SpinEdit1, "2");
    QTest::mouseClick(m_window.Memo1->viewport(), Qt::LeftButton);
    QTest::keyClick(m_window.Memo1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_window.Memo1, Qt::Key_C, Qt::ControlModifier);

    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[2], ": (0000002/0000003)");
    EXPECT_EQ(lines.mid(5), (QStringList{"000000|Hi.漢ｶ!",
                                         "------|----*----1----*----2----*----3----*----4----*"
                                         "----5----*----6----*----7----*----8----*----9----*----0",
                                         "      |4608BB2", "      |899AF61", "", ""}));
}

TEST_F(TfrmMainTest, ANumberAboveTheCountShowsTheLastRecord)
{
    m_window.UserFileLoad(threeRecords());

    type("7");

    EXPECT_EQ(m_window.SpinEdit1->text(), "3");
    EXPECT_EQ(dumpLine(2), ": (0000003/0000003)");
    EXPECT_EQ(dumpLine(kFirstCharacterRow), "000000|three");
}

TEST_F(TfrmMainTest, ANegativeNumberBecomesZeroAndChangesNothingElse)
{
    m_window.UserFileLoad(threeRecords());
    type("2");
    const Shown before = shown();

    type("-5");

    EXPECT_EQ(m_window.SpinEdit1->text(), "0");
    Shown expected = before;
    expected.spinText = "0";
    EXPECT_EQ(shown(), expected);
}

struct EntryRow
{
    const char *name;
    const char *text;

    friend void PrintTo(const EntryRow &row, std::ostream *out) { *out << row.name; }
};

class TfrmMainIgnoredEntry : public TfrmMainTest, public testing::WithParamInterface<EntryRow>
{};

TEST_P(TfrmMainIgnoredEntry, KeepsTheTextTheDumpAndTheLabels)
{
    m_window.UserFileLoad(threeRecords());
    type("2");
    Shown expected = shown();
    expected.spinText = GetParam().text;

    type(GetParam().text);

    EXPECT_EQ(shown(), expected);
}

INSTANTIATE_TEST_SUITE_P(Entries, TfrmMainIgnoredEntry,
                         testing::Values(EntryRow{"Zero", "0"}, EntryRow{"Empty", ""},
                                         EntryRow{"Unparsable", "7z"}),
                         [](const testing::TestParamInfo<EntryRow> &info) {
                             return info.param.name;
                         });

TEST_F(TfrmMainTest, AFileWithoutRecordsKeepsTheEarlierDumpAndSnapsTheNumberBack)
{
    m_window.UserFileLoad(threeRecords());
    type("2");
    const QString earlierDump = dumpText();
    const QString empty = file("empty.txt", "");

    m_window.UserFileLoad(empty);
    const QString textAfterLoad = m_window.SpinEdit1->text();
    type("3");

    EXPECT_EQ(m_window.Label1->text(), empty);
    EXPECT_EQ(m_window.Label2->text(), "/0000000");
    EXPECT_EQ(textAfterLoad, "2");
    EXPECT_TRUE(m_window.SpinEdit1->isEnabled());
    EXPECT_EQ(m_window.SpinEdit1->text(), "0");
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000007");
    EXPECT_EQ(dumpText(), earlierDump);
}

TEST_F(TfrmMainTest, ReloadingRendersRecordOneAfresh)
{
    const QString path = file("grows.txt", "old\n");
    m_window.UserFileLoad(path);
    file("grows.txt", "new!\n");

    m_window.UserFileLoad(path);

    EXPECT_EQ(m_window.SpinEdit1->text(), "1");
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000004");
    EXPECT_EQ(dumpLine(kFirstCharacterRow), "000000|new!");
}

TEST_F(TfrmMainTest, OpenThenCancelChangesNothing)
{
    m_window.UserFileLoad(threeRecords());
    const Shown before = shown();
    m_window.choices = {std::nullopt};

    m_window.Button1Click();

    EXPECT_EQ(shown(), before);
}

TEST_F(TfrmMainTest, OpenPreselectsTheNameChosenBefore)
{
    const QString path = threeRecords();
    m_window.choices = {path, std::nullopt};

    m_window.Button1Click();
    m_window.Button1Click();

    EXPECT_EQ(m_window.preselected, (QStringList{QString(), path}));
}

TEST_F(TfrmMainTest, OpenMovesTheFocusToTheRecordNumber)
{
    m_window.choices = {threeRecords()};

    m_window.Button1Click();

    EXPECT_EQ(m_window.focusWidget(), m_window.SpinEdit1);
}

TEST_F(TfrmMainTest, AnEmptyFirstFileShowsItsPathAndLeavesTheFocus)
{
    const QString empty = file("empty.txt", "");
    m_window.Button1->setFocus();
    m_window.choices = {empty};
    ErrorBoxCatcher catcher;

    m_window.Button1Click();

    EXPECT_EQ(m_window.Label1->text(), empty);
    EXPECT_EQ(m_window.Label2->text(), "/0000000");
    EXPECT_FALSE(m_window.SpinEdit1->isEnabled());
    EXPECT_EQ(m_window.focusWidget(), m_window.Button1);
    EXPECT_TRUE(catcher.shown().empty());
}

TEST_F(TfrmMainTest, AMissingNameIsReportedAndTheEarlierFileStays)
{
    m_window.UserFileLoad(threeRecords());
    type("2");
    const Shown before = shown();
    const QString missing = QString::fromStdString(m_dir.path("missing.txt"));
    m_window.choices = {missing};
    ErrorBoxCatcher catcher;

    ErrorBox::guard([this] { m_window.Button1Click(); });

    EXPECT_EQ(catcher.texts(), QStringList{"ファイル " + missing + " は開けません."});
    EXPECT_EQ(shown(), before);
}

TEST_F(TfrmMainTest, DroppingAFileOpensIt)
{
    const QString path = threeRecords();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);

    QApplication::sendEvent(&m_window, &enter);
    QApplication::sendEvent(&m_window, &drop);
    QCoreApplication::processEvents();

    EXPECT_TRUE(enter.isAccepted());
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(m_window.Label1->text(), path);
    EXPECT_EQ(m_window.SpinEdit1->text(), "1");
}

TEST_F(TfrmMainTest, ExitClosesTheWindowAtOnce)
{
    m_window.show();

    QTest::mouseClick(m_window.BitBtn1, Qt::LeftButton);

    EXPECT_FALSE(m_window.isVisible());
}

} // namespace
