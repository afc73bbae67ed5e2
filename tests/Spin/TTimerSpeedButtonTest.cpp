#include "TTimerSpeedButton.h"

#include "Failure.h"
#include "FakeTimerFactory.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PressableArrow : public TTimerSpeedButton
{
public:
    using TTimerSpeedButton::mousePressEvent;
    using TTimerSpeedButton::TTimerSpeedButton;
};

class TTimerSpeedButtonTest : public testing::Test
{
protected:
    TTimerSpeedButtonTest()
    {
        m_arrow = new PressableArrow(m_timers, &m_window);
        m_arrow->setGeometry(0, 0, 15, 8);
        m_arrow->SetArrowFlags(TTimerSpeedButton::RepeatAllowed);
        m_window.resize(40, 40);
        m_window.show();
    }

    void press() { QTest::mousePress(m_arrow, Qt::LeftButton, {}, kInside); }
    void release() { QTest::mouseRelease(m_arrow, Qt::LeftButton, {}, kInside); }
    // Straight to the handler: Qt's own mouse dispatch leaks when a failure unwinds through it.
    void pressFailing()
    {
        QMouseEvent event(QEvent::MouseButtonPress, kInside, m_arrow->mapToGlobal(kInside),
                          Qt::LeftButton, Qt::LeftButton, {});
        m_arrow->mousePressEvent(&event);
    }
    void releaseOutside() { QTest::mouseRelease(m_arrow, Qt::LeftButton, {}, QPoint(-5, -5)); }

    static constexpr QPoint kInside{7, 4};
    FakeTimerFactory m_timers;
    QWidget m_window;
    PressableArrow *m_arrow = nullptr;
};

TEST_F(TTimerSpeedButtonTest, RepeatsFirstAfter400MsThenEvery100Ms)
{
    QSignalSpy clicks(m_arrow, &TTimerSpeedButton::OnClick);

    press();
    m_timers.advance(399);
    const int before400 = clicks.count();
    m_timers.advance(1);
    const int at400 = clicks.count();
    m_timers.advance(99);
    const int before500 = clicks.count();
    m_timers.advance(1);
    const int at500 = clicks.count();
    release();

    EXPECT_EQ(before400, 0);
    EXPECT_EQ(at400, 1);
    EXPECT_EQ(before500, 1);
    EXPECT_EQ(at500, 2);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_FALSE(m_timers.anyActive());
}

TEST_F(TTimerSpeedButtonTest, MakesItsTimerAtTheFirstPressOnly)
{
    const bool timerBeforePress = m_arrow->HoldTimer() != nullptr;

    press();
    release();
    press();
    release();

    EXPECT_FALSE(timerBeforePress);
    EXPECT_EQ(m_timers.timerCount(), 1);
}

TEST_F(TTimerSpeedButtonTest, DoesNotRepeatWithoutRepeatAllowed)
{
    m_arrow->SetArrowFlags({});
    QSignalSpy clicks(m_arrow, &TTimerSpeedButton::OnClick);

    press();
    m_timers.advance(1000);
    release();

    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(m_timers.timerCount(), 0);
}

TEST_F(TTimerSpeedButtonTest, FailsThePressWhenNoTimerCanBeHad)
{
    m_timers.refuse = true;

    EXPECT_THROW(
        {
            try {
                pressFailing();
            } catch (const Failure &failure) {
                EXPECT_STREQ(failure.what(), "タイマーを取得できません");
                throw;
            }
        },
        Failure);
    release();
}

TEST_F(TTimerSpeedButtonTest, FailsThePressWhenTheTimerWillNotStart)
{
    m_timers.failStart = true;
    QSignalSpy clicks(m_arrow, &TTimerSpeedButton::OnClick);

    EXPECT_THROW(pressFailing(), Failure);
    m_timers.advance(1000);
    release();

    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(TTimerSpeedButtonTest, StopsItsTimerWhenAHoldClickFails)
{
    QObject::connect(m_arrow, &TTimerSpeedButton::OnClick, [] { throw Failure("handler"); });
    press();

    EXPECT_THROW(m_timers.advance(400), Failure);
    const bool timerRunning = m_timers.anyActive();
    releaseOutside();

    EXPECT_FALSE(timerRunning);
}

TEST_F(TTimerSpeedButtonTest, StopsRepeatingWhenTheParentIsDisabled)
{
    QSignalSpy clicks(m_arrow, &TTimerSpeedButton::OnClick);
    press();

    m_window.setEnabled(false);
    m_timers.advance(1000);
    release();

    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(m_arrow->IsDown());
}

} // namespace
