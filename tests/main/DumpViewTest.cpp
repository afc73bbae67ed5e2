#include "DumpView.h"

#include "ByteClasses.h"
#include "RecordDump.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr std::size_t kFirstCharacterRow = 5;
constexpr std::size_t kRowsPerBlock = 5;

std::shared_ptr<const RecordDump> dumpOf(std::string bytes, DumpHeader header = {})
{
    auto file = std::make_shared<const std::string>(std::move(bytes));
    return std::make_shared<const RecordDump>(Record{file, *file}, ByteClasses::forCodePage(932),
                                              std::move(header));
}

class DumpViewTest : public testing::Test
{
protected:
    DumpViewTest()
    {
        QFont font;
        font.setFamilies({QStringLiteral("IPAGothic")});
        font.setPixelSize(12);
        m_view.setFont(font);
        m_view.setCodePage(932);
        m_view.resize(687, 554);
        m_view.show();
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&m_view, key, modifiers);
    }
    void keys(Qt::Key key, int times, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&m_view, key, modifiers);
    }
    double cellWidth() const { return QFontMetricsF(m_view.font()).horizontalAdvance('0'); }
    int lineHeight() const
    {
        return static_cast<int>(std::ceil(QFontMetricsF(m_view.font()).lineSpacing()));
    }
    // The middle of the left half of a cell, in the viewport.
    QPoint cell(std::size_t line, int column) const
    {
        return QPoint(2 + int((column + 0.25) * cellWidth()),
                      int(line) * lineHeight() + lineHeight() / 2);
    }
    bool inked(const QImage &image, std::size_t line, int column) const
    {
        const QPoint origin = m_view.viewport()->mapTo(&m_view, QPoint(0, 0));
        const int left = origin.x() + 2 + int(column * cellWidth());
        const int top = origin.y() + int(line) * lineHeight();
        for (int y = top; y < top + lineHeight(); ++y) {
            for (int x = left; x < left + int(cellWidth()); ++x) {
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
            }
        }
        return false;
    }
    int firstVisibleLine() const { return int(m_view.firstVisibleLine()); }

    DumpView m_view;
};

TEST_F(DumpViewTest, SelectAllAndCopyGiveTheWholeDumpDecoded)
{
    m_view.setDump(dumpOf("Hi\t\x8A\xBF\xB6!", {"D:\\work\\sample.txt", RecordDump::lengthLabel(7),
                                                2, RecordDump::countLabel(3)}));

    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);

    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              ": D:\\work\\sample.txt\n"
              ": Record Length : 000007\n"
              ": (0000002/0000003)\n" +
                  QString(108, '-') +
                  "\n\n"
                  "000000|Hi.漢ｶ!\n"
                  "------|----*----1----*----2----*----3----*----4----*----5----*----6----*"
                  "----7----*----8----*----9----*----0\n"
                  "      |4608BB2\n"
                  "      |899AF61\n"
                  "\n");
}

TEST_F(DumpViewTest, KeysSelectWholeCharacters)
{
    m_view.setDump(dumpOf("Hi\t\x8A\xBF\xB6!"));
    keys(Qt::Key_Down, int(kFirstCharacterRow));
    keys(Qt::Key_Right, 7);

    keys(Qt::Key_Right, 4, Qt::ShiftModifier);
    const QString four = m_view.selectedText();
    key(Qt::Key_Left, Qt::ShiftModifier);

    EXPECT_EQ(four, "Hi.漢");
    EXPECT_EQ(m_view.selectedText(), "Hi.");
}

TEST_F(DumpViewTest, DraggingTheMouseSelectsAcrossLines)
{
    m_view.setDump(dumpOf("Hi\t\x8A\xBF\xB6!"));
    QWidget *viewport = m_view.viewport();

    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, cell(kFirstCharacterRow, 10));
    QTest::mouseMove(viewport, cell(kFirstCharacterRow + 1, 9));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, cell(kFirstCharacterRow + 1, 9));

    EXPECT_EQ(m_view.selectedText(), "漢ｶ!\n------|--");
}

TEST_F(DumpViewTest, AClickMovesTheCursorAndDropsTheSelection)
{
    m_view.setDump(dumpOf("abc"));
    m_view.selectAll();

    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier,
                      cell(kFirstCharacterRow, 8));

    EXPECT_FALSE(m_view.hasSelection());
    EXPECT_EQ(m_view.cursorPosition(), (DumpView::Position{kFirstCharacterRow, 8}));
}

TEST_F(DumpViewTest, PageKeysHomeAndEndScroll)
{
    m_view.setDump(dumpOf(std::string(100000, 'x')));
    const int page = m_view.verticalScrollBar()->pageStep();

    key(Qt::Key_PageDown);
    const int afterPageDown = firstVisibleLine();
    key(Qt::Key_End);
    const int afterEnd = firstVisibleLine();
    key(Qt::Key_PageUp);
    const int afterPageUp = firstVisibleLine();
    key(Qt::Key_Home);

    EXPECT_GT(page, 10);
    EXPECT_EQ(afterPageDown, page);
    EXPECT_EQ(afterEnd, int(m_view.lineCount()) - page);
    EXPECT_EQ(afterPageUp, afterEnd - page);
    EXPECT_EQ(firstVisibleLine(), 0);
}

TEST_F(DumpViewTest, TheWheelScrolls)
{
    m_view.setDump(dumpOf(std::string(100000, 'x')));
    const QPointF at(100, 100);
    QWheelEvent wheel(at, m_view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);

    QCoreApplication::sendEvent(m_view.viewport(), &wheel);

    EXPECT_EQ(firstVisibleLine(), QApplication::wheelScrollLines());
}

TEST_F(DumpViewTest, ANewDumpShowsItsTop)
{
    m_view.setDump(dumpOf(std::string(100000, 'x')));
    key(Qt::Key_End);

    m_view.setDump(dumpOf(std::string(100000, 'y')));

    EXPECT_EQ(firstVisibleLine(), 0);
    EXPECT_EQ(m_view.cursorPosition(), DumpView::Position());
}

TEST_F(DumpViewTest, DrawsACharacterSplitAtTheRowEndOverTheRulerEnd)
{
    m_view.setDump(dumpOf(std::string(99, 'A') + "\x8A\xBFZ"));
    QImage image(m_view.size(), QImage::Format_RGB32);

    m_view.render(&image);

    const std::size_t second = kFirstCharacterRow + kRowsPerBlock;
    EXPECT_TRUE(inked(image, kFirstCharacterRow, 7 + 99));
    EXPECT_TRUE(inked(image, kFirstCharacterRow, 7 + 100));
    EXPECT_FALSE(inked(image, kFirstCharacterRow, 7 + 101));
    EXPECT_FALSE(inked(image, second, 7));
    EXPECT_TRUE(inked(image, second, 8));
    EXPECT_TRUE(inked(image, second + 2, 7));
}

} // namespace
