#include "DumpView.h"

#include "ByteClasses.h"
#include "CompareDump.h"
#include "RecordDump.h"
#include "RowName.h"

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

std::shared_ptr<const CompareDump> compareOf(std::string a, std::string b)
{
    return std::make_shared<const CompareDump>(dumpOf(std::move(a)), dumpOf(std::move(b)),
                                               CompareSource{"a.txt", 1, 1},
                                               CompareSource{"b.txt", 1, 1});
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

bool isGreen(const QColor &colour)
{
    return colour.green() > colour.red() + 40 && colour.green() > colour.blue() + 40;
}

bool isMagenta(const QColor &colour)
{
    return colour.red() > colour.green() + 40 && colour.blue() > colour.green() + 40;
}

bool coloured(const QImage &image, const QPoint &origin, int left, int top, int width, int height,
              bool (*tint)(const QColor &))
{
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            if (tint(image.pixelColor(origin.x() + x, origin.y() + y)))
                return true;
        }
    }
    return false;
}

// 8A BF straddles column 100: its digits stand in the last column of the first block and in
// the first of the second, in both digit rows.
TEST_F(DumpViewTest, HitMarksColourTheDigitsInBothBlocksOfAHitAcrossColumn100)
{
    m_view.setDump(dumpOf(std::string(99, 'A') + "\x8A\xBFZ"));
    m_view.setMarks({Mark{99, 2, Mark::Kind::Hit}});
    QImage image(m_view.size(), QImage::Format_RGB32);

    m_view.render(&image);

    const QPoint origin = m_view.viewport()->mapTo(&m_view, QPoint(0, 0));
    const auto marked = [&](std::size_t line, int column) {
        return coloured(image, origin, 3 + int(column * cellWidth()), int(line) * lineHeight() + 1,
                        int(cellWidth()) - 2, lineHeight() - 2, isGreen);
    };
    const std::size_t second = kFirstCharacterRow + kRowsPerBlock;
    EXPECT_TRUE(marked(kFirstCharacterRow + 2, 7 + 99));
    EXPECT_TRUE(marked(kFirstCharacterRow + 3, 7 + 99));
    EXPECT_FALSE(marked(kFirstCharacterRow + 2, 7 + 98));
    EXPECT_TRUE(marked(second + 2, 7));
    EXPECT_TRUE(marked(second + 3, 7));
    EXPECT_FALSE(marked(second + 2, 8));
}

struct ByteSelectionRow
{
    std::string name;
    std::string record;
    std::uint64_t offset;
    std::uint64_t length;
    QString copied;
};

void PrintTo(const ByteSelectionRow &row, std::ostream *out)
{
    *out << row.name;
}

class DumpViewSelectBytes : public DumpViewTest,
                            public testing::WithParamInterface<ByteSelectionRow>
{};

TEST_P(DumpViewSelectBytes, CopiesJustTheirCharacters)
{
    const ByteSelectionRow &row = GetParam();
    m_view.setDump(dumpOf(row.record));
    m_view.setFocus();

    m_view.showByte(row.offset, row.length);
    key(Qt::Key_C, Qt::ControlModifier);

    EXPECT_TRUE(m_view.hasSelection());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), row.copied);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DumpViewSelectBytes,
    testing::Values(ByteSelectionRow{"FirstByte", "Hi\x8A\xBF!", 0, 1, "H"},
                    ByteSelectionRow{"LastByte", "Hi\x8A\xBF!", 4, 1, "!"},
                    ByteSelectionRow{"DoubleByte", "Hi\x8A\xBF!", 2, 2, QString::fromUtf8("漢")},
                    ByteSelectionRow{"AcrossColumn100", std::string(99, 'A') + "\x8A\xBFZ", 99, 2,
                                     QString::fromUtf8("漢")},
                    ByteSelectionRow{"AcrossColumn100AndOn", std::string(99, 'A') + "\x8A\xBFZ", 98,
                                     4, QString::fromUtf8("A漢Z")},
                    ByteSelectionRow{"SecondBlock", std::string(150, 'A') + "xy", 150, 2, "xy"},
                    ByteSelectionRow{"TrailByte", "Hi\x8A\xBF!", 3, 1, QString::fromUtf8("漢")},
                    ByteSelectionRow{"LeadByte", "Hi\x8A\xBF!", 2, 1, QString::fromUtf8("漢")},
                    ByteSelectionRow{"TrailByteAtBlockStart", std::string(99, 'A') + "\x8A\xBFZ",
                                     100, 2, QString::fromUtf8("漢Z")}),
    [](const auto &info) { return info.param.name; });

// At the laid-out width a block's rows fit; a long path in the header or a narrow area brings
// the scroll bar across, and a click scrolled to the right still finds its column.
TEST_F(DumpViewTest, ScrollsAcrossOnlyToReachTheWidestLine)
{
    QScrollBar *across = m_view.horizontalScrollBar();
    m_view.setDump(dumpOf(std::string(100, 'A')));
    const int laidOut = across->maximum();
    m_view.setDump(dumpOf("short", DumpHeader{std::string(150, 'p'), "", 1, ""}));
    const int pathEnd = 2 + static_cast<int>(std::ceil(152 * cellWidth()));
    const bool pathReached = across->maximum() + m_view.viewport()->width() >= pathEnd;

    m_view.resize(300, 554);
    m_view.setDump(dumpOf(std::string(100, 'A')));
    across->setValue(across->maximum());
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {},
                      cell(kFirstCharacterRow, 7 + 99) - QPoint(across->value(), 0));

    EXPECT_EQ(laidOut, 0);
    EXPECT_TRUE(pathReached);
    EXPECT_TRUE(across->isVisible());
    EXPECT_EQ(m_view.cursorByte(), 99u);
}

TEST_F(DumpViewTest, ACursorMoveDropsTheByteSelection)
{
    m_view.setDump(dumpOf("Hello"));
    m_view.setFocus();
    m_view.showByte(1, 2);

    key(Qt::Key_Right);

    EXPECT_FALSE(m_view.hasSelection());
}

TEST_F(DumpViewTest, ShowByteScrollsToItAndPutsTheCursorBeforeIt)
{
    m_view.setDump(dumpOf(std::string(5000, 'A') + "\x8A\xBF"));

    m_view.showByte(5000);

    const std::size_t line = kFirstCharacterRow + 50 * kRowsPerBlock;
    EXPECT_EQ(m_view.cursorPosition().line, line);
    EXPECT_EQ(m_view.cursorByte(), 5000u);
    EXPECT_LE(m_view.firstVisibleLine(), line);
    EXPECT_GT(m_view.firstVisibleLine(), line - 60);
}

struct CursorRow
{
    std::string name;
    std::string record;
    std::uint64_t offset;
    std::uint64_t length;
    DumpView::Position cursor;
    std::optional<std::uint64_t> cursorByte;
};

void PrintTo(const CursorRow &row, std::ostream *out)
{
    *out << row.name;
}

class DumpViewShowByte : public DumpViewTest, public testing::WithParamInterface<CursorRow>
{};

// The cursor stands before the character that holds the first byte asked for, selected or not,
// so that the status line tells of it.
TEST_P(DumpViewShowByte, PutsTheCursorOnACharacterBoundary)
{
    const CursorRow &row = GetParam();
    m_view.setDump(dumpOf(row.record));

    m_view.showByte(row.offset, row.length);

    EXPECT_EQ(m_view.cursorPosition(), row.cursor);
    EXPECT_EQ(m_view.cursorByte(), row.cursorByte);
}

const std::string kAcrossColumn100 = std::string(99, 'A') + "\x8A\xBFZ";

// "000000|" takes characters 0 to 6; 漢 (8A BF) is character 9 of "Hi漢!", and character 106 of
// the row of 99 "A" that it ends, over column 100; the next row's blank above BF stands for it.
INSTANTIATE_TEST_SUITE_P(
    Rows, DumpViewShowByte,
    testing::Values(
        CursorRow{"LeadByte", "Hi\x8A\xBF!", 2, 0, {5, 9}, 2},
        CursorRow{"TrailByte", "Hi\x8A\xBF!", 3, 0, {5, 9}, 2},
        CursorRow{"TrailByteSelected", "Hi\x8A\xBF!", 3, 1, {5, 9}, 2},
        CursorRow{"EndingInALeadByte", "Hi\x8A\xBF!", 1, 2, {5, 8}, 1},
        CursorRow{"TrailByteAtBlockStart", kAcrossColumn100, 100, 0, {5 + kRowsPerBlock, 7}, 100},
        CursorRow{"SelectedFromTrailByteAtBlockStart",
                  kAcrossColumn100,
                  100,
                  2,
                  {5 + kRowsPerBlock, 7},
                  100},
        CursorRow{"EndingInALeadByteAtBlockEnd", kAcrossColumn100, 98, 2, {5, 105}, 98}),
    rowName<CursorRow>);

// Compared, a block shows A's character row, the ruler, A's digit rows, B's three rows and
// the marker row.
constexpr std::size_t kComparedRows = 9;
constexpr std::size_t kMarkerRow = kFirstCharacterRow + 7;

// 漢 (8A BF) against 澗 (8A C0): both stand whole, and only the trail byte's column differs.
TEST_F(DumpViewTest, AKanjiChangedInItsTrailByteIsMarkedInThatColumnOnly)
{
    m_view.setCompare(compareOf("ab\x8A\xBF"
                                "cd",
                                "ab\x8A\xC0"
                                "cd"));
    QImage image(m_view.size(), QImage::Format_RGB32);
    m_view.render(&image);
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);

    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(QString::fromUtf8("\n000000|ab漢cd\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QString::fromUtf8("\nB     |ab澗cd\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains("\n      |   *\n")) << copied.toStdString();
    const QPoint origin = m_view.viewport()->mapTo(&m_view, QPoint(0, 0));
    const auto marked = [&](std::size_t line, int column) {
        return coloured(image, origin, 3 + int(column * cellWidth()), int(line) * lineHeight() + 1,
                        int(cellWidth()) - 2, lineHeight() - 2, isMagenta);
    };
    for (const std::size_t row : {0, 2, 3, 4, 5, 6, 7}) {
        EXPECT_TRUE(marked(kFirstCharacterRow + row, 7 + 3)) << "row " << row;
        EXPECT_FALSE(marked(kFirstCharacterRow + row, 7 + 2)) << "row " << row;
        EXPECT_FALSE(marked(kFirstCharacterRow + row, 7 + 4)) << "row " << row;
    }
    EXPECT_FALSE(marked(kFirstCharacterRow + 1, 7 + 3)); // the ruler
}

// The cursor stands before a whole character in a character row; a trail byte has a column of
// its own only among the digits.
TEST_F(DumpViewTest, ComparedATrailByteIsShownInTheHighDigitRow)
{
    m_view.setCompare(compareOf("ab\x8A\xBF"
                                "cd",
                                "ab\x8A\xC0"
                                "cd"));

    m_view.showByte(2);
    EXPECT_EQ(m_view.cursorPosition().line, kFirstCharacterRow);
    EXPECT_EQ(m_view.cursorByte(), 2u);
    m_view.showByte(3);
    EXPECT_EQ(m_view.cursorPosition().line, kFirstCharacterRow + 2);
    EXPECT_EQ(m_view.cursorByte(), 3u);
}

// A is 150 bytes long, B 250: column 220 has only B's character row to stand in.
TEST_F(DumpViewTest, ComparedTheCursorGivesTheColumnInEitherSidesRows)
{
    m_view.setCompare(compareOf(std::string(150, 'a'), std::string(250, 'b')));
    m_view.setFocus();

    m_view.showByte(120);
    const std::size_t aCharacters = kFirstCharacterRow + kComparedRows;
    EXPECT_EQ(m_view.cursorPosition().line, aCharacters);
    EXPECT_EQ(m_view.cursorByte(), 120u);
    key(Qt::Key_Down);
    EXPECT_EQ(m_view.cursorByte(), std::nullopt); // the ruler
    key(Qt::Key_Down);
    EXPECT_EQ(m_view.cursorByte(), 120u);
    keys(Qt::Key_Down, 5);
    EXPECT_EQ(m_view.cursorPosition().line, kMarkerRow + kComparedRows);
    EXPECT_EQ(m_view.cursorByte(), 120u);

    m_view.showByte(220);
    EXPECT_EQ(m_view.cursorPosition().line, kFirstCharacterRow + 2 * kComparedRows + 4);
    EXPECT_EQ(m_view.cursorByte(), 220u);
    m_view.showByte(250);
    EXPECT_EQ(m_view.cursorByte(), 220u); // past both: nothing moves
}

TEST_F(DumpViewTest, ARecordShownAfterAComparisonPaintsAsBefore)
{
    const std::shared_ptr<const RecordDump> dump = dumpOf(std::string(99, 'A') + "\x8A\xBFZ");
    m_view.setDump(dump);
    m_view.setMarks({Mark{99, 2, Mark::Kind::Hit}});
    QImage before(m_view.size(), QImage::Format_RGB32);
    m_view.render(&before);

    m_view.setCompare(compareOf("A", "B"));
    m_view.setDump(dump);
    m_view.setMarks({Mark{99, 2, Mark::Kind::Hit}});
    QImage after(m_view.size(), QImage::Format_RGB32);
    m_view.render(&after);

    EXPECT_EQ(m_view.compare(), nullptr);
    EXPECT_EQ(m_view.lineCount(), dump->lineCount() + 1);
    EXPECT_TRUE(before == after);
}

} // namespace
