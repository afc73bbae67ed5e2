// The main window under stress: thousands of value changes on a record of 100 MiB, each
// painted, in flat memory; an arrow held across the last record.
#include "TfrmMain.h"

#include "ByteClasses.h"
#include "HugeFile.h"
#include "TSpinButton.h"
#include "TTimerSpeedButton.h"
#include "TempDir.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iostream>

namespace {

constexpr std::size_t kRecordBytes = std::size_t{100} << 20;
constexpr int kChanges = 2000;
constexpr int kWarmUp = 100;
constexpr long kMostGrowthKiB = 8 * 1024;

// A line of /proc/self/status in KiB: "VmRSS", "VmHWM".
long statusKiB(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":"))
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

class TfrmMainStress : public testing::Test
{
protected:
    TfrmMainStress()
    {
        ByteClasses::setProcessWide(ByteClasses::forCodePage(932));
        m_window.show();
    }

    // Down to 0 and up to 1 again by the arrow keys: every key a change, every second one a
    // rendering of the whole record; each is painted before the next.
    void changeAndPaint(int changes)
    {
        for (int i = 0; i < changes; ++i) {
            QTest::keyClick(m_window.SpinEdit1, i % 2 == 0 ? Qt::Key_Down : Qt::Key_Up);
            m_window.Memo1->viewport()->repaint();
        }
    }

    TempDir m_dir;
    TfrmMain m_window{932};
};

TEST_F(TfrmMainStress, TwoThousandChangesOnA100MiBRecordKeepMemoryFlat)
{
    const std::string path = m_dir.path("record.txt");
    writePatternRecord(path, kRecordBytes);
    m_window.UserFileLoad(path);
    QSignalSpy changes(m_window.SpinEdit1, &TSpinEdit::OnChange);
    changeAndPaint(kWarmUp);
    const long before = statusKiB("VmRSS");

    const auto start = std::chrono::steady_clock::now();
    changeAndPaint(kChanges);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    const long after = statusKiB("VmRSS");
    const long peak = statusKiB("VmHWM");
    std::cout << kChanges << " changes: " << took.count() << " s, "
              << took.count() / kChanges * 1000 << " ms each; resident " << before / 1024
              << " MiB before, " << after / 1024 << " MiB after, peak " << peak / 1024 << " MiB\n";
    RecordProperty("seconds", std::to_string(took.count()));
    RecordProperty("residentKiBBefore", before);
    RecordProperty("residentKiBAfter", after);
    EXPECT_EQ(changes.count(), kWarmUp + kChanges);
    EXPECT_EQ(m_window.SpinEdit1->text(), "1");
    EXPECT_LT(after - before, kMostGrowthKiB);
}

TEST_F(TfrmMainStress, HoldingAnArrowAcrossTheLastRecordStaysThereSilently)
{
    m_window.UserFileLoad(m_dir.write("three.txt", "one\ntwo\nthree\n"));
    m_window.SpinEdit1->setText("3");
    QSignalSpy changes(m_window.SpinEdit1, &TSpinEdit::OnChange);
    TTimerSpeedButton *up = m_window.SpinEdit1->ButtonPair()->UpArrow();

    QTest::mousePress(up, Qt::LeftButton);
    // What each tick of the hold does, without waiting for the ticks.
    for (int tick = 0; tick < 50; ++tick)
        up->Click();
    QTest::mouseRelease(up, Qt::LeftButton);
    for (int repeat = 0; repeat < 50; ++repeat) {
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(m_window.SpinEdit1, &held);
    }

    EXPECT_EQ(m_window.SpinEdit1->text(), "3");
    EXPECT_EQ(changes.count(), 0);
}

} // namespace
