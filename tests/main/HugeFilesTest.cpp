// Huge files in the main window: ten million empty records, one record of 300 MiB.
#include "TfrmMain.h"

#include "ByteClasses.h"
#include "CompareBar.h"
#include "CompareController.h"
#include "ErrorBox.h"
#include "ErrorBoxCatcher.h"
#include "HugeFile.h"
#include "QtPrinters.h"
#include "TempDir.h"

#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
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

// Two records of 100 MiB that differ in their last byte: the comparison shows their first block
// at once, and F7 goes to the last.
TEST_F(HugeFiles, TwoRecordsOf100MiBCompareAndF7ReachesTheirLastByte)
{
    constexpr std::size_t kSize = std::size_t{100} << 20;
    const std::string a = m_dir.path("a.txt");
    const std::string b = m_dir.path("b.txt");
    writePatternRecord(a, kSize);
    writePatternRecord(b, kSize);
    std::fstream(b, std::ios::binary | std::ios::in | std::ios::out)
        .seekp(kSize - 1)
        .put(patternByte(kSize - 1) == 'A' ? 'B' : 'A');
    load(a);

    const auto start = std::chrono::steady_clock::now();
    m_window.Compare()->compareFiles(QString::fromStdString(b));
    QImage image(m_window.Memo1->size(), QImage::Format_RGB32);
    m_window.Memo1->render(&image);
    m_window.Compare()->stepDifference(false);
    m_window.Memo1->render(&image);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    std::cout << "compare of two 100 MiB records, shown and stepped: " << took.count() << " s\n";
    EXPECT_EQ(m_window.Compare()->bar()->summary().toStdString(),
              "1 record differs, 0 only in A, 0 only in B; this record: 1 byte differs, first at "
              "offset 104857599");
    EXPECT_EQ(m_window.Memo1->cursorByte(), kSize - 1);
}

} // namespace
