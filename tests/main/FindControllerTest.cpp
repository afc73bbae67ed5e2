#include "FindController.h"
#include "JapaneseLeadBytes.h"

#include "ByteClasses.h"
#include "ByteDescription.h"
#include "FakeTimerFactory.h"
#include "FindBar.h"
#include "LineInSight.h"
#include "RecordDump.h"
#include "TempDir.h"
#include "TfrmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// ソ (83 5C) ends the first block of record 3 and straddles column 100.
const std::string kFile =
    "first\r\n\\ and \x83\x5C\r\n" + std::string(99, '.') + "\x83\x5C" + "needle\r\nlast\r\n";

class FindControllerTest : public testing::Test, private JapaneseLeadBytes
{
protected:
    FindControllerTest()
    {
        m_window.Find()->SetTimers(m_timers);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_window.UserFileLoad(m_dir.write("four.txt", kFile));
    }

    FindBar *bar() const { return m_window.Find()->bar(); }
    void open(QKeyCombination keys)
    {
        QTest::keyClick(&m_window, keys.key(), keys.keyboardModifiers());
    }
    void typeAndEnter(const QString &text)
    {
        bar()->field()->setText(text);
        QTest::keyClick(bar()->field(), Qt::Key_Return);
    }
    bool waitForSearch()
    {
        return QTest::qWaitFor([this] { return !m_window.Find()->searching(); }, 5000);
    }
    int shownRecord() const { return m_window.SpinEdit1->Value(); }
    QString statusLine() const
    {
        return m_window.findChild<QLabel *>(QStringLiteral("StatusLine"))->text();
    }
    QString describedByte(std::uint64_t offset) const
    {
        return QString::fromStdString(ByteDescription::of(*m_window.Memo1->dump(), offset));
    }
    // Every line of the block of the record's byte at offset, clear of the bar.
    bool blockInSight(std::uint64_t offset) const
    {
        const std::size_t first = RecordDump::firstLineOfBlock(offset / 100);
        for (std::size_t line = first; line < first + 4; ++line) {
            if (!lineInSight(*m_window.Memo1, line, bar()))
                return false;
        }
        return true;
    }

    FakeTimerFactory m_timers;
    TempDir m_dir;
    TfrmMain m_window{932};
};

TEST_F(FindControllerTest, CtrlFTextAndEnterShowTheHitThatCtrlCCopies)
{
    open(Qt::CTRL | Qt::Key_F);
    typeAndEnter(QString::fromUtf8("needle"));
    ASSERT_TRUE(waitForSearch());
    QTest::keyClick(bar()->field(), Qt::Key_Escape);
    QTest::keyClick(m_window.Memo1, Qt::Key_C, Qt::ControlModifier);

    EXPECT_EQ(shownRecord(), 3);
    EXPECT_EQ(bar()->status(), "hit 1 of 1");
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_TRUE(m_window.Memo1->hasFocus());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "needle");
}

// The "\" of record 2 is one, the trail byte of its ソ is not; the ソ of record 3 lies across
// column 100 and is copied whole.
TEST_F(FindControllerTest, StepsOnCharactersOnlyAndWrapsToRecordOne)
{
    open(Qt::CTRL | Qt::Key_F);
    typeAndEnter(QString::fromUtf8("\\"));
    ASSERT_TRUE(waitForSearch());
    const QString first = bar()->status();
    const int firstRecord = shownRecord();
    QTest::keyClick(bar()->field(), Qt::Key_F3);
    ASSERT_TRUE(waitForSearch());

    EXPECT_EQ(firstRecord, 2);
    EXPECT_EQ(first, "hit 1 of 1");
    EXPECT_EQ(shownRecord(), 2);
    EXPECT_EQ(bar()->status(), "hit 1 of 1, wrapped to record 1");
}

TEST_F(FindControllerTest, PreviousFromTheFirstHitWrapsToTheLast)
{
    open(Qt::CTRL | Qt::Key_F);
    typeAndEnter(QString::fromUtf8("ソ"));
    ASSERT_TRUE(waitForSearch());
    QTest::keyClick(bar()->field(), Qt::Key_F3, Qt::ShiftModifier);
    ASSERT_TRUE(waitForSearch());
    m_window.Memo1->copy();

    EXPECT_EQ(shownRecord(), 3);
    EXPECT_EQ(bar()->status(), "hit 2 of 2, wrapped to the end");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("ソ"));
}

struct RefusedRow
{
    std::string name;
    QString typed;
    bool hex;
    QString status;
};

void PrintTo(const RefusedRow &row, std::ostream *out)
{
    *out << row.name;
}

class FindControllerRefuses : public FindControllerTest,
                              public testing::WithParamInterface<RefusedRow>
{};

TEST_P(FindControllerRefuses, SaysWhyAndMovesNothing)
{
    const RefusedRow &row = GetParam();
    open(Qt::CTRL | Qt::Key_F);
    if (row.hex)
        QTest::mouseClick(bar()->hexSwitch(), Qt::LeftButton);

    typeAndEnter(row.typed);
    ASSERT_TRUE(waitForSearch());

    EXPECT_EQ(shownRecord(), 1);
    EXPECT_TRUE(bar()->status().startsWith(row.status)) << bar()->status().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, FindControllerRefuses,
                         testing::Values(RefusedRow{"NotFound", "zzz", false, "not found"},
                                         RefusedRow{
                                             "Unwritable", QString::fromUtf8("x😀"), false,
                                             QString::fromUtf8("“😀” (U+1F600) cannot be written")},
                                         RefusedRow{"BadHex", "8G", true, "\"G\" is no hex digit"},
                                         RefusedRow{"HexNotFound", "FF FF", true, "not found"}),
                         [](const auto &info) { return info.param.name; });

TEST_F(FindControllerTest, ProgressShowsAfterATenthOfASecondAndEscLeavesAllAsItWas)
{
    open(Qt::CTRL | Qt::Key_F);
    bar()->field()->setText("needle");

    QTest::keyClick(bar()->field(), Qt::Key_Return);
    const bool quietAtFirst = !bar()->status().startsWith("Searching");
    m_timers.advance(FindController::kProgressDelay);
    const QString progress = bar()->status();
    QTest::keyClick(bar()->field(), Qt::Key_Escape);
    QTest::qWait(20);

    EXPECT_TRUE(quietAtFirst);
    EXPECT_TRUE(progress.startsWith(QString::fromUtf8("Searching…"))) << progress.toStdString();
    EXPECT_EQ(bar()->status(), "Search cancelled");
    EXPECT_FALSE(m_window.Find()->searching());
    EXPECT_FALSE(m_timers.anyActive());
    EXPECT_EQ(shownRecord(), 1);
    EXPECT_TRUE(bar()->isVisible());
}

// The byte is the trail byte of the ソ across column 100: the character is highlighted.
TEST_F(FindControllerTest, GoToShowsTheRecordAndPutsTheCursorOnTheByteHighlighted)
{
    open(Qt::CTRL | Qt::Key_G);
    typeAndEnter("3:0x64");

    EXPECT_EQ(shownRecord(), 3);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 100u);
    EXPECT_EQ(statusLine(), describedByte(100));
    EXPECT_EQ(m_window.Memo1->selectedText(), QString::fromUtf8("ソ"));
    EXPECT_TRUE(m_window.Memo1->hasFocus());
    EXPECT_FALSE(bar()->isVisible());
}

TEST_F(FindControllerTest, AfterAFindTheStatusLineTellsOfTheHitsFirstByte)
{
    open(Qt::CTRL | Qt::Key_F);
    typeAndEnter(QString::fromUtf8("needle"));
    ASSERT_TRUE(waitForSearch());

    EXPECT_EQ(m_window.Memo1->cursorByte(), 101u);
    EXPECT_EQ(statusLine(), describedByte(101));
}

// 5,000 bytes: a hit in the first block, then with F3 one in block 30.
TEST_F(FindControllerTest, AHitShowsWithItsWholeBlockBelowTheBar)
{
    std::string record(5000, '.');
    record.replace(10, 6, "needle");
    record.replace(3010, 6, "needle");
    m_window.UserFileLoad(m_dir.write("long.txt", record));
    open(Qt::CTRL | Qt::Key_F);

    typeAndEnter(QString::fromUtf8("needle"));
    ASSERT_TRUE(waitForSearch());
    const bool firstInSight = blockInSight(10);
    QTest::keyClick(bar()->field(), Qt::Key_F3);
    ASSERT_TRUE(waitForSearch());

    EXPECT_TRUE(bar()->isVisible());
    EXPECT_TRUE(firstInSight);
    EXPECT_EQ(m_window.Memo1->cursorByte(), 3010u);
    EXPECT_TRUE(blockInSight(3010));
}

TEST_F(FindControllerTest, GoToOutsideTheFileOrRecordMovesNothing)
{
    open(Qt::CTRL | Qt::Key_G);
    typeAndEnter("5");
    const QString pastFile = bar()->status();
    typeAndEnter(":6");

    EXPECT_EQ(pastFile, "Record 5 is outside 1 to 4");
    EXPECT_EQ(bar()->status(), "Offset 6 is outside the record's 5 bytes");
    EXPECT_EQ(shownRecord(), 1);
    EXPECT_TRUE(bar()->isVisible());
}

TEST_F(FindControllerTest, TheBarFloatsOverTheDumpAreaAndMovesNoControl)
{
    const QRect memo = m_window.Memo1->geometry();
    const QRect spin = m_window.SpinEdit1->geometry();

    open(Qt::CTRL | Qt::Key_F);

    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(bar()->parentWidget(), m_window.Memo1);
    EXPECT_TRUE(m_window.Memo1->rect().contains(bar()->geometry()));
    EXPECT_EQ(m_window.Memo1->geometry(), memo);
    EXPECT_EQ(m_window.SpinEdit1->geometry(), spin);
}

} // namespace
