#include "TSpinEdit.h"

#include "Failure.h"
#include "FakeBeeper.h"
#include "FakeTimerFactory.h"
#include "TSpinButton.h"
#include "TTimerSpeedButton.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Counts the arrow key presses that reach it, to see whether they went on past the field.
class ArrowKeyCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            count += key == Qt::Key_Up || key == Qt::Key_Down;
        }
        return false;
    }
    int count = 0;
};

std::vector<std::string> enabledActions(const QMenu &menu)
{
    std::vector<std::string> enabled;
    for (const QAction *action : menu.actions()) {
        if (action->isEnabled() && !action->isSeparator())
            enabled.push_back(action->text().section('\t', 0, 0).toStdString());
    }
    return enabled;
}

class TSpinEditTest : public testing::Test
{
protected:
    TSpinEditTest()
    {
        m_spin = new TSpinEdit(m_beeper, m_timers, &m_window);
        m_other = new QLineEdit(&m_window);
        m_other->setGeometry(0, 40, 60, 20);
        m_window.resize(200, 80);
        m_window.show();
        m_window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_other->setFocus();
    }

    TTimerSpeedButton *up() const { return m_spin->ButtonPair()->UpArrow(); }
    void clickUp() { QTest::mouseClick(up(), Qt::LeftButton, {}, up()->rect().center()); }
    std::vector<std::string> contextMenuActions()
    {
        const QPoint at(5, 5);
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, m_spin->mapToGlobal(at));
        QApplication::sendEvent(m_spin, &request);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return {};
        const auto actions = enabledActions(*menu);
        menu->close();
        return actions;
    }
    void focusWithText(const QString &text)
    {
        m_spin->setText(text);
        m_spin->setFocus();
        m_spin->end(false);
    }
    std::string text() const { return m_spin->text().toStdString(); }

    FakeBeeper m_beeper;
    FakeTimerFactory m_timers;
    QWidget m_window;
    TSpinEdit *m_spin = nullptr;
    QLineEdit *m_other = nullptr;
};

TEST_F(TSpinEditTest, StartsAtZeroWithItsDefaults)
{
    EXPECT_EQ(text(), "0");
    EXPECT_EQ(m_spin->Value(), 0);
    EXPECT_EQ(m_spin->MinValue(), 0);
    EXPECT_EQ(m_spin->MaxValue(), 0);
    EXPECT_EQ(m_spin->Increment(), 1);
    EXPECT_TRUE(m_spin->EditorEnabled());
    EXPECT_EQ(m_spin->width(), 121);
    EXPECT_EQ(m_spin->height(), m_spin->MinimumHeight());
}

TEST_F(TSpinEditTest, WritesTheLimitedNumberAsDecimalText)
{
    m_spin->SetValue(-7);
    const std::string unlimited = text();
    m_spin->SetMaxValue(10);
    m_spin->SetValue(11);
    const std::string limited = text();
    m_spin->SetMinValue(5);
    m_spin->SetMaxValue(1);
    m_spin->SetValue(3);

    EXPECT_EQ(unlimited, "-7");
    EXPECT_EQ(limited, "10");
    EXPECT_EQ(text(), "5");
}

TEST_F(TSpinEditTest, RaisesAnEventOnlyWhenTheTextChanges)
{
    m_spin->setText("01");
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    m_spin->SetValue(1);
    m_spin->SetValue(1);
    m_spin->setText("1");

    EXPECT_EQ(text(), "1");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.first().first().value<QObject *>(), m_spin);
}

TEST_F(TSpinEditTest, AWriteFromTheHandlerNestsExactlyOneEvent)
{
    std::vector<std::string> log;
    QObject::connect(m_spin, &TSpinEdit::OnChange, [&] {
        log.push_back("enter " + text());
        if (m_spin->Value() == 5)
            m_spin->SetValue(7);
        log.push_back("leave " + text());
    });

    m_spin->SetValue(5);

    EXPECT_EQ(log, (std::vector<std::string>{"enter 5", "enter 7", "leave 7", "leave 7"}));
}

TEST_F(TSpinEditTest, BoundsAndSwitchesLeaveTheTextAlone)
{
    m_spin->setText("8");
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    m_spin->SetMaxValue(5);
    m_spin->SetMinValue(6);
    m_spin->SetIncrement(3);
    m_spin->SetEditorEnabled(false);
    m_spin->SetEditorEnabled(true);
    m_spin->setEnabled(false);
    m_spin->setEnabled(true);

    EXPECT_EQ(text(), "8");
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(TSpinEditTest, UnparsableTextReadsAsMinValue)
{
    m_spin->SetMinValue(3);

    m_spin->setText("1" + QLocale::system().decimalPoint() + "5");

    EXPECT_EQ(m_spin->Value(), 3);
}

TEST_F(TSpinEditTest, AHandlerFailurePassesOutWithTheNewTextInPlace)
{
    QObject::connect(m_spin, &TSpinEdit::OnChange, [] { throw Failure("handler"); });

    EXPECT_THROW(m_spin->SetValue(5), Failure);

    EXPECT_EQ(text(), "5");
}

TEST_F(TSpinEditTest, EachUserEditRaisesOneEvent)
{
    focusWithText("5");
    QClipboard *clipboard = QApplication::clipboard();
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    QTest::keyClicks(m_spin, "12");
    QTest::keyClick(m_spin, Qt::Key_Backspace);
    m_spin->selectAll();
    QTest::keyClick(m_spin, Qt::Key_X, Qt::ControlModifier);
    clipboard->setText("42");
    QTest::keyClick(m_spin, Qt::Key_V, Qt::ControlModifier);
    m_spin->selectAll();
    QTest::keyClick(m_spin, Qt::Key_4);

    EXPECT_EQ(text(), "4");
    EXPECT_EQ(clipboard->text().toStdString(), "42");
    // Typing over the same digit still counts as an edit.
    EXPECT_EQ(changes.count(), 6);
}

TEST_F(TSpinEditTest, AUserEditHandlerThatWritesNestsOnce)
{
    m_spin->SetMaxValue(10);
    focusWithText("1");
    QObject::connect(m_spin, &TSpinEdit::OnChange,
                     [this] { m_spin->SetValue(m_spin->ClampValue(m_spin->Value())); });
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    QTest::keyClick(m_spin, Qt::Key_5);

    EXPECT_EQ(text(), "10");
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(TSpinEditTest, StepsWrapAroundPastTheLargestNumber)
{
    m_spin->SetValue(INT32_MAX);

    clickUp();

    EXPECT_EQ(text(), "-2147483648");
}

TEST_F(TSpinEditTest, AStepAtTheBoundRaisesNothing)
{
    m_spin->SetMaxValue(10);
    m_spin->SetValue(10);
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    clickUp();

    EXPECT_EQ(text(), "10");
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(TSpinEditTest, IncrementSetsTheStepAndItsDirection)
{
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);
    m_spin->SetIncrement(0);
    clickUp();
    const int afterZeroStep = changes.count();

    m_spin->SetIncrement(-3);
    clickUp();

    EXPECT_EQ(afterZeroStep, 0);
    EXPECT_EQ(text(), "-3");
}

TEST_F(TSpinEditTest, ReadOnlyStepsOnlyBeep)
{
    m_spin->setReadOnly(true);
    m_spin->setFocus();
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    QTest::keyClick(m_spin, Qt::Key_Up);
    QTest::keyClick(m_spin, Qt::Key_Down);
    clickUp();

    EXPECT_EQ(text(), "0");
    EXPECT_EQ(m_beeper.count, 3);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(TSpinEditTest, ArrowKeysStepAndGoOnToTheParent)
{
    m_spin->SetEditorEnabled(false);
    m_spin->setFocus();
    ArrowKeyCounter parentKeys;
    m_window.installEventFilter(&parentKeys);

    QTest::keyClick(m_spin, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(m_spin, Qt::Key_Up);
    QTest::keyClick(m_spin, Qt::Key_Down);
    QTest::keyClick(m_spin, Qt::Key_Up);

    EXPECT_EQ(text(), "2");
    EXPECT_EQ(parentKeys.count, 4);
}

TEST_F(TSpinEditTest, HoldingTheUpArrowFor650MsStepsFourTimes)
{
    m_spin->SetMaxValue(10);
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    QTest::mousePress(up(), Qt::LeftButton, {}, up()->rect().center());
    m_timers.advance(650);
    QTest::mouseRelease(up(), Qt::LeftButton, {}, up()->rect().center());

    EXPECT_EQ(text(), "4");
    EXPECT_EQ(changes.count(), 4);
}

TEST_F(TSpinEditTest, AFailingHoldStepStopsTheTimerWithTheStepShown)
{
    QObject::connect(m_spin, &TSpinEdit::OnChange, [] { throw Failure("handler"); });
    QTest::mousePress(up(), Qt::LeftButton, {}, up()->rect().center());

    EXPECT_THROW(m_timers.advance(400), Failure);
    const bool timerRunning = m_timers.anyActive();
    QTest::mouseRelease(up(), Qt::LeftButton, {}, QPoint(-5, -5));

    EXPECT_FALSE(timerRunning);
    EXPECT_EQ(text(), "1");
}

struct KeyRow
{
    const char *name;
    Qt::Key key;
    bool editorEnabled;
    const char *expectedText;
    int beeps;
};

class TSpinEditKeyTest : public TSpinEditTest, public testing::WithParamInterface<KeyRow>
{};

TEST_P(TSpinEditKeyTest, FiltersTypedCharacters)
{
    const KeyRow &row = GetParam();
    focusWithText("5");
    m_spin->SetEditorEnabled(row.editorEnabled);

    QTest::keyClick(m_spin, row.key);

    EXPECT_EQ(text(), row.expectedText);
    EXPECT_EQ(m_beeper.count, row.beeps);
}

INSTANTIATE_TEST_SUITE_P(
    TSpinEdit, TSpinEditKeyTest,
    testing::Values(KeyRow{"DigitWithEditor", Qt::Key_7, true, "57", 0},
                    KeyRow{"DigitWithoutEditor", Qt::Key_7, false, "5", 1},
                    KeyRow{"MinusWithEditor", Qt::Key_Minus, true, "5-", 0},
                    KeyRow{"PlusWithoutEditor", Qt::Key_Plus, false, "5", 1},
                    KeyRow{"BackspaceWithEditor", Qt::Key_Backspace, true, "", 0},
                    KeyRow{"BackspaceWithoutEditor", Qt::Key_Backspace, false, "5", 1},
                    KeyRow{"EnterWithEditor", Qt::Key_Return, true, "5", 1},
                    KeyRow{"EnterWithoutEditor", Qt::Key_Return, false, "5", 1},
                    KeyRow{"LetterWithEditor", Qt::Key_A, true, "5", 1},
                    KeyRow{"SpaceWithEditor", Qt::Key_Space, true, "5", 1},
                    KeyRow{"HomeWithoutEditor", Qt::Key_Home, false, "5", 0}),
    [](const testing::TestParamInfo<KeyRow> &info) { return info.param.name; });

TEST_F(TSpinEditTest, TheDecimalSeparatorCanBeTypedButReadsAsMinValue)
{
    m_spin->SetMinValue(-1);
    focusWithText("1");
    const QChar separator = QLocale::system().decimalPoint().front();

    QTest::keyClick(m_spin, separator.toLatin1());

    EXPECT_EQ(m_spin->text(), QString("1") + separator);
    EXPECT_EQ(m_spin->Value(), -1);
    EXPECT_EQ(m_beeper.count, 0);
}

TEST_F(TSpinEditTest, RefusedInputMethodTextBeepsAndStaysOut)
{
    focusWithText("5");
    QInputMethodEvent fullWidthDigit;
    fullWidthDigit.setCommitString(QString(QChar(0xFF11)));

    QApplication::sendEvent(m_spin, &fullWidthDigit);

    EXPECT_EQ(text(), "5");
    EXPECT_EQ(m_beeper.count, 1);
}

struct LockRow
{
    const char *name;
    bool editorEnabled;
    bool readOnly;
};

class TSpinEditLockTest : public TSpinEditTest, public testing::WithParamInterface<LockRow>
{
protected:
    void lock()
    {
        focusWithText("5");
        m_spin->selectAll();
        m_spin->SetEditorEnabled(GetParam().editorEnabled);
        m_spin->setReadOnly(GetParam().readOnly);
        QApplication::clipboard()->setText("42");
    }
};

TEST_P(TSpinEditLockTest, IgnoresPasteAndCutSilentlyButCopies)
{
    lock();
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    QTest::keyClick(m_spin, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m_spin, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(m_spin, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(m_spin, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(m_spin, Qt::Key_C, Qt::ControlModifier);

    EXPECT_EQ(text(), "5");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(m_beeper.count, 0);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "5");
}

TEST_P(TSpinEditLockTest, OffersNoPasteOrCutInTheContextMenu)
{
    lock();

    const auto actions = contextMenuActions();

    EXPECT_EQ(actions, (std::vector<std::string>{"&Copy"}));
    EXPECT_FALSE(m_spin->isReadOnly() && !GetParam().readOnly);
}

INSTANTIATE_TEST_SUITE_P(TSpinEdit, TSpinEditLockTest,
                         testing::Values(LockRow{"WithoutEditor", false, false},
                                         LockRow{"ReadOnly", true, true}),
                         [](const testing::TestParamInfo<LockRow> &info) {
                             return info.param.name;
                         });

TEST_F(TSpinEditTest, OffersPasteAndCutInTheContextMenuOfAWritableField)
{
    focusWithText("5");
    m_spin->selectAll();
    QApplication::clipboard()->setText("42");

    const auto actions = contextMenuActions();

    EXPECT_EQ(actions, (std::vector<std::string>{"Cu&t", "&Copy", "&Paste", "Delete"}));
    EXPECT_FALSE(m_spin->isReadOnly());
}

struct ExitRow
{
    const char *name;
    std::int32_t minValue;
    std::int32_t maxValue;
    const char *typed;
    const char *expectedText;
    int events;
};

class TSpinEditExitTest : public TSpinEditTest, public testing::WithParamInterface<ExitRow>
{};

TEST_P(TSpinEditExitTest, LimitsTheNumberWhenTheFocusLeaves)
{
    const ExitRow &row = GetParam();
    focusWithText(row.typed);
    m_spin->SetMinValue(row.minValue);
    m_spin->SetMaxValue(row.maxValue);
    std::vector<std::string> log;
    QObject::connect(m_spin, &TSpinEdit::OnExit, [&] { log.push_back("exit"); });
    QObject::connect(m_spin, &TSpinEdit::OnChange, [&] { log.push_back("change " + text()); });

    m_other->setFocus(Qt::TabFocusReason);

    EXPECT_EQ(text(), row.expectedText);
    ASSERT_EQ(static_cast<int>(log.size()), 1 + row.events);
    EXPECT_EQ(log.front(), "exit");
}

INSTANTIATE_TEST_SUITE_P(TSpinEdit, TSpinEditExitTest,
                         testing::Values(ExitRow{"EmptyStaysEmpty", 0, 10, "", "", 0},
                                         ExitRow{"AboveMaxIsLimited", 0, 10, "15", "10", 1},
                                         ExitRow{"InsideStays", 0, 10, "007", "007", 0},
                                         ExitRow{"CrossedBoundsLimitEmpty", 5, 1, "", "1", 1}),
                         [](const testing::TestParamInfo<ExitRow> &info) {
                             return info.param.name;
                         });

TEST_F(TSpinEditTest, DisablingTheFocusedFieldRunsTheFocusExit)
{
    focusWithText("15");
    m_spin->SetMaxValue(10);
    QSignalSpy exits(m_spin, &TSpinEdit::OnExit);

    m_spin->setEnabled(false);

    EXPECT_FALSE(m_spin->hasFocus());
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(text(), "10");
}

TEST_F(TSpinEditTest, TabbingInSelectsTheWholeText)
{
    m_spin->setText("123");

    QTest::keyClick(m_other, Qt::Key_Tab);

    EXPECT_TRUE(m_spin->hasFocus());
    EXPECT_EQ(m_spin->selectedText().toStdString(), "123");
}

TEST_F(TSpinEditTest, WithoutAutoSelectEnteringSelectsNothing)
{
    m_spin->setText("123");
    m_spin->SetAutoSelect(false);

    QTest::keyClick(m_other, Qt::Key_Tab);

    EXPECT_TRUE(m_spin->hasFocus());
    EXPECT_FALSE(m_spin->hasSelectedText());
}

TEST_F(TSpinEditTest, AClickInTheTextPlacesTheCaret)
{
    m_spin->setText("123");

    QTest::mouseClick(m_spin, Qt::LeftButton, {}, QPoint(6, m_spin->height() / 2));

    EXPECT_TRUE(m_spin->hasFocus());
    EXPECT_FALSE(m_spin->hasSelectedText());
}

TEST_F(TSpinEditTest, PressingAnArrowFocusesTheFieldAndSelectsAllBeforeTheStep)
{
    m_spin->setText("3");
    std::string selectedOnEntry;
    bool focusedAtStep = false;
    QObject::connect(m_spin, &TSpinEdit::OnEnter,
                     [&] { selectedOnEntry = m_spin->selectedText().toStdString(); });
    QObject::connect(m_spin, &TSpinEdit::OnChange, [&] { focusedAtStep = m_spin->hasFocus(); });

    clickUp();

    EXPECT_EQ(selectedOnEntry, "3");
    EXPECT_TRUE(focusedAtStep);
    EXPECT_EQ(text(), "4");
}

TEST_F(TSpinEditTest, LaysOutTheMainWindowsFieldAt121By21)
{
    QFont small = m_spin->font();
    small.setPixelSize(9);
    m_spin->setFont(small);
    m_spin->SetAutoSize(false);
    m_spin->setText(QString(30, '8'));

    m_spin->resize(121, 21);
    m_spin->end(false);
    m_spin->repaint(); // the field scrolls its text while it paints

    const QPoint clientOrigin(2, 2);
    const TSpinButton *pair = m_spin->ButtonPair();
    EXPECT_EQ(m_spin->size(), QSize(121, 21));
    EXPECT_EQ(pair->pos() - clientOrigin, QPoint(101, 0));
    EXPECT_EQ(pair->size(), QSize(15, 16));
    EXPECT_EQ(pair->UpArrow()->geometry(), QRect(0, 0, 15, 8));
    EXPECT_EQ(pair->DownArrow()->geometry(), QRect(0, 7, 15, 9));
    // The caret after a long text stops short of the arrows, at the end of the text area.
    const QRect caret = m_spin->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_LT(caret.center().x(), clientOrigin.x() + 100);
    EXPECT_GT(caret.center().x(), clientOrigin.x() + 90);
}

TEST_F(TSpinEditTest, NeverGetsLowerThanItsMinimumHeight)
{
    m_spin->SetAutoSize(false);

    m_spin->resize(121, 5);

    EXPECT_EQ(m_spin->height(), m_spin->MinimumHeight());
}

TEST_F(TSpinEditTest, HeightFollowsTheFont)
{
    const int before = m_spin->height();
    QFont large = m_spin->font();
    large.setPixelSize(30);

    m_spin->setFont(large);

    EXPECT_GT(m_spin->height(), before);
    EXPECT_EQ(m_spin->height(), m_spin->MinimumHeight());
}

TEST_F(TSpinEditTest, WhileDisabledTheArrowsIgnoreClicksButLookTheSame)
{
    const QImage enabledLook = up()->grab().toImage();
    QSignalSpy changes(m_spin, &TSpinEdit::OnChange);

    m_spin->setEnabled(false);
    clickUp();

    EXPECT_EQ(text(), "0");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(up()->grab().toImage(), enabledLook);
}

} // namespace
