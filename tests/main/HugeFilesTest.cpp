// Huge files in the main window: ten million empty records, one record of 300 MiB.
#include "TfrmMain.h"

#include "ByteClasses.h"
#include "ErrorBox.h"
#include "ErrorBoxCatcher.h"
#include "HugeFile.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

namespace {

constexpr std::size_t kManyRecords = 10'000'000;
constexpr std::size_t kBigRecord = std::size_t{300} << 20;

class HugeFiles : public testing::Test
{
protected:
    HugeFiles() { ByteClasses::setProcessWide(ByteClasses::forCodePage(932)); }

    // Loads path and says how long that took.
    double load(const std::string &path)
    {
        ErrorBoxCatcher catcher;
        const auto start = std::chrono::steady_clock::now();
        ErrorBox::guard([&] { m_window.UserFileLoad(path); });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(catcher.texts().isEmpty()) << catcher.texts().join("; ").toStdString();
        return took.count();
    }

    // The last lines of the dump, through the keys a user would press.
    QStringList lastLines(int count)
    {
        m_window.Memo1->setFocus();
        QTest::keyClick(m_window.Memo1, Qt::Key_End);
        for (int i = 0; i < count; ++i)
            QTest::keyClick(m_window.Memo1, Qt::Key_Up, Qt::ShiftModifier);
        return m_window.Memo1->selectedText().split('\n');
    }

    TempDir m_dir;
    TfrmMain m_window{932};
};

TEST_F(HugeFiles, TenMillionEmptyRecordsCountInFullAndTheLastIsShown)
{
    const std::string path = m_dir.path("lines.txt");
    writeRepeated(path, "\n", kManyRecords);

    const double seconds = load(path);
    m_window.SpinEdit1->setText("10000000");

    std::cout << "load of 10,000,000 records: " << seconds << " s\n";
    EXPECT_EQ(m_window.Label2->text(), "/10000000");
    EXPECT_EQ(m_window.SpinEdit1->MaxValue(), 10'000'000);
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 000000");
    EXPECT_EQ(lastLines(3).value(0), ": (10000000/10000000)");
}

TEST_F(HugeFiles, ARecordOf300MiBShowsItsLengthAndItsLastBlock)
{
    const std::string path = m_dir.path("record.txt");
    writePatternRecord(path, kBigRecord);

    const double seconds = load(path);

    std::cout << "load of a 300 MiB record: " << seconds << " s\n";
    const std::size_t blocks = (kBigRecord + 99) / 100;
    EXPECT_EQ(m_window.Label3->text(), "Record Length : 314572800");
    EXPECT_EQ(m_window.Memo1->lineCount(), 5 + 5 * blocks + 1);
    const QStringList last = lastLines(5);
    const std::size_t begin = (blocks - 1) * 100;
    EXPECT_TRUE(last.value(0).startsWith("314572700|"));
    EXPECT_EQ(last.value(2).toStdString(), patternDigits(begin, kBigRecord, 4));
    EXPECT_EQ(last.value(3).toStdString(), patternDigits(begin, kBigRecord, 0));
}

} // namespace
