#include "TSpinButton.h"

#include "FakeTimerFactory.h"
#include "TTimerSpeedButton.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kOlive(128, 128, 0);

class TSpinButtonTest : public testing::Test
{
protected:
    TSpinButtonTest()
    {
        m_other = new QLineEdit(&m_window);
        m_other->setGeometry(0, 0, 60, 20);
        m_pair = new TSpinButton(m_timers, &m_window);
        m_pair->move(80, 0);
        m_window.resize(120, 60);
        m_window.show();
        m_window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_other->setFocus();
    }

    static QPoint centre(const QWidget *w) { return w->rect().center(); }
    void click(TTimerSpeedButton *arrow)
    {
        QTest::mouseClick(arrow, Qt::LeftButton, {}, centre(arrow));
    }

    FakeTimerFactory m_timers;
    QWidget m_window;
    QLineEdit *m_other = nullptr;
    TSpinButton *m_pair = nullptr;
};

TEST_F(TSpinButtonTest, KeepsItsWidthAtLeast15AndSplitsItsHeight)
{
    m_pair->resize(10, 17);
    const QRect down17 = m_pair->DownArrow()->geometry();
    m_pair->resize(10, 16);

    EXPECT_EQ(m_pair->size(), QSize(15, 16));
    EXPECT_EQ(m_pair->UpArrow()->geometry(), QRect(0, 0, 15, 8));
    EXPECT_EQ(down17, QRect(0, 7, 15, 10));
    EXPECT_EQ(m_pair->DownArrow()->geometry(), QRect(0, 7, 15, 9));
}

TEST_F(TSpinButtonTest, ClicksOnceAtTheReleaseWithItselfAsSender)
{
    QSignalSpy ups(m_pair, &TSpinButton::OnUpClick);
    QSignalSpy downs(m_pair, &TSpinButton::OnDownClick);

    QTest::mousePress(m_pair->DownArrow(), Qt::LeftButton, {}, centre(m_pair->DownArrow()));
    const int whilePressed = downs.count();
    QTest::mouseRelease(m_pair->DownArrow(), Qt::LeftButton, {}, centre(m_pair->DownArrow()));

    EXPECT_EQ(whilePressed, 0);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs.first().first().value<QObject *>(), m_pair);
    EXPECT_EQ(ups.count(), 0);
}

TEST_F(TSpinButtonTest, ClicksNothingForTheRightButton)
{
    QSignalSpy ups(m_pair, &TSpinButton::OnUpClick);

    QTest::mouseClick(m_pair->UpArrow(), Qt::RightButton, {}, centre(m_pair->UpArrow()));

    EXPECT_EQ(ups.count(), 0);
    EXPECT_FALSE(m_pair->UpArrow()->IsDown());
}

TEST_F(TSpinButtonTest, DraggingOffSuspendsTheRepeatsAndTheReleaseClick)
{
    TTimerSpeedButton *up = m_pair->UpArrow();
    QSignalSpy ups(m_pair, &TSpinButton::OnUpClick);
    const QPoint outside(-20, 3);

    QTest::mousePress(up, Qt::LeftButton, {}, centre(up));
    QTest::mouseMove(up, outside);
    m_timers.advance(650);
    const int whileOff = ups.count();
    const bool shownDownWhileOff = up->IsDown();
    QTest::mouseMove(up, centre(up));
    m_timers.advance(100);
    const int backOn = ups.count();
    QTest::mouseMove(up, outside);
    QTest::mouseRelease(up, Qt::LeftButton, {}, outside);

    EXPECT_EQ(whileOff, 0);
    EXPECT_FALSE(shownDownWhileOff);
    EXPECT_EQ(backOn, 1);
    EXPECT_EQ(ups.count(), 1);
}

TEST_F(TSpinButtonTest, WithoutTabStopAPressTakesNoFocusAndKeepsTheCurrentArrow)
{
    click(m_pair->DownArrow());

    EXPECT_TRUE(m_other->hasFocus());
    EXPECT_EQ(m_pair->CurrentArrow(), m_pair->UpArrow());
    EXPECT_FALSE(m_pair->UpArrow()->ArrowFlags().testFlag(TTimerSpeedButton::FocusMarked));
}

TEST_F(TSpinButtonTest, APressMovesTheFocusToFocusControlFirst)
{
    auto *target = new QLineEdit(&m_window);
    target->setGeometry(0, 30, 60, 20);
    target->show();
    m_pair->SetFocusControl(target);
    bool focusedWhenShownDown = false;
    QObject::connect(m_pair->UpArrow(), &TTimerSpeedButton::OnMouseDown,
                     [&] { focusedWhenShownDown = m_pair->UpArrow()->IsDown(); });

    click(m_pair->UpArrow());

    EXPECT_TRUE(target->hasFocus());
    EXPECT_FALSE(focusedWhenShownDown);
}

TEST_F(TSpinButtonTest, ForgetsAFocusControlThatIsDestroyed)
{
    auto *target = new QLineEdit(&m_window);
    m_pair->SetFocusControl(target);

    delete target;

    EXPECT_EQ(m_pair->FocusControl(), nullptr);
}

TEST_F(TSpinButtonTest, StandalonePairAnswersTheKeyboardAndMarksItsCurrentArrow)
{
    m_pair->SetTabStop(true);
    QSignalSpy downs(m_pair, &TSpinButton::OnDownClick);
    const auto marked = [](const TTimerSpeedButton *arrow) {
        return arrow->ArrowFlags().testFlag(TTimerSpeedButton::FocusMarked);
    };

    QTest::keyClick(m_other, Qt::Key_Tab);
    const bool upMarkedOnEntry = marked(m_pair->UpArrow());
    QTest::keyClick(m_pair, Qt::Key_Down);
    const int afterDownKey = downs.count();
    QTest::keyClick(m_pair, Qt::Key_Space);

    EXPECT_TRUE(m_pair->hasFocus());
    EXPECT_TRUE(upMarkedOnEntry);
    EXPECT_FALSE(marked(m_pair->UpArrow()));
    EXPECT_TRUE(marked(m_pair->DownArrow()));
    EXPECT_EQ(m_pair->CurrentArrow(), m_pair->DownArrow());
    EXPECT_EQ(afterDownKey, 1);
    EXPECT_EQ(downs.count(), 2);
}

TEST_F(TSpinButtonTest, LeavingTheFocusClearsTheMark)
{
    m_pair->SetTabStop(true);
    m_pair->setFocus(Qt::TabFocusReason);

    m_other->setFocus(Qt::TabFocusReason);

    EXPECT_FALSE(m_pair->UpArrow()->ArrowFlags().testFlag(TTimerSpeedButton::FocusMarked));
}

TEST_F(TSpinButtonTest, BuiltInArrowsAreBlackTrianglesOnOlive)
{
    const QImage up = m_pair->UpGlyph();
    const QImage down = m_pair->DownGlyph();

    EXPECT_EQ(up.size(), QSize(9, 6));
    EXPECT_EQ(up.pixelColor(4, 1), kBlack);
    EXPECT_EQ(up.pixelColor(3, 1), kOlive);
    EXPECT_EQ(up.pixelColor(1, 4), kBlack);
    EXPECT_EQ(up.pixelColor(0, 5), kOlive);
    EXPECT_EQ(down.pixelColor(1, 1), kBlack);
    EXPECT_EQ(down.pixelColor(4, 4), kBlack);
    EXPECT_EQ(down.pixelColor(3, 4), kOlive);
    EXPECT_EQ(m_pair->UpNumGlyphs(), 1);
}

TEST_F(TSpinButtonTest, DrawsTheOliveBackgroundTransparent)
{
    m_pair->resize(15, 16);

    const QImage shot = m_pair->UpArrow()->grab().toImage();

    const QPoint apex = m_pair->UpArrow()->rect().center() - QPoint(0, 1);
    EXPECT_EQ(shot.pixelColor(apex), kBlack);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_NE(shot.pixelColor(x, y), kOlive) << x << "," << y;
    }
}

struct GlyphRow
{
    const char *name;
    int width;
    int height;
    int expectedCount;
};

class TSpinButtonGlyphTest : public TSpinButtonTest, public testing::WithParamInterface<GlyphRow>
{};

TEST_P(TSpinButtonGlyphTest, SetsTheImageCountFromAnExactMultiple)
{
    const GlyphRow &row = GetParam();
    m_pair->SetUpNumGlyphs(3);
    QImage glyph(row.width, row.height, QImage::Format_RGB32);
    glyph.fill(Qt::white);

    m_pair->SetUpGlyph(glyph);

    EXPECT_EQ(m_pair->UpNumGlyphs(), row.expectedCount);
    EXPECT_EQ(m_pair->DownNumGlyphs(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    TSpinButton, TSpinButtonGlyphTest,
    testing::Values(GlyphRow{"FourImages", 36, 9, 4}, GlyphRow{"FiveImagesTakenAsOne", 45, 9, 1},
                    GlyphRow{"NotAMultipleLeavesIt", 20, 9, 3}, GlyphRow{"OneImage", 9, 9, 1}),
    [](const testing::TestParamInfo<GlyphRow> &info) { return info.param.name; });

TEST_F(TSpinButtonTest, WritingNoGlyphRestoresTheTriangleOfThatArrow)
{
    const QImage builtIn = m_pair->DownGlyph();
    m_pair->SetDownGlyph(QImage(36, 9, QImage::Format_RGB32));
    m_pair->SetUpNumGlyphs(2);

    m_pair->SetDownGlyph({});

    EXPECT_EQ(m_pair->DownGlyph(), builtIn);
    EXPECT_EQ(m_pair->DownNumGlyphs(), 1);
    EXPECT_EQ(m_pair->UpNumGlyphs(), 2);
}

} // namespace
