#pragma once

#include "DumpCells.h"
#include "DumpRows.h"
#include "FieldBand.h"
#include "Mark.h"

#include <QAbstractScrollArea>
#include <QCache>
#include <QPointer>
#include <QRawFont>

#include <compare>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CodePageDecoder;
class CompareDump;
class QMenu;
class RecordDump;

// The read-only dump area. It draws only the lines in sight, each on a fixed grid of cells, so
// that a record of any size shows at once and its columns stand under the ruler whatever
// advance widths the font has. The text can be selected and copied, decoded, but not changed.
class DumpView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // A place between two characters: the line, and the number of characters before it.
    struct Position
    {
        std::size_t line = 0;
        std::size_t character = 0;

        auto operator<=>(const Position &) const = default;
    };

    explicit DumpView(QWidget *parent = nullptr);
    ~DumpView() override;

    // The code page the character rows are written in.
    void setCodePage(int codePage);
    // Shows the dump from its top; nothing is kept of the previous one.
    void setDump(std::shared_ptr<const RecordDump> dump);
    // Asked after every paint whether the bytes painted are still the file's; where they are
    // not (a mapped file cut short reads as zeros), the area is blanked and bytesUntrusted
    // follows.
    void setBytesCheck(std::function<bool()> trusted) { m_bytesTrusted = std::move(trusted); }
    // Shows two records against each other, the same way.
    void setCompare(std::shared_ptr<const CompareDump> compare);
    void clear();

    // The record's dump shown, or nothing while two are compared.
    const RecordDump *dump() const { return m_rows.dump(); }
    const CompareDump *compare() const { return m_rows.compare(); }
    // The dump's lines and the empty line after the last line end.
    std::size_t lineCount() const;
    std::size_t firstVisibleLine() const;
    Position cursorPosition() const { return m_cursor; }
    bool hasSelection() const { return m_selectedBytes || m_anchor != m_cursor; }
    QString selectedText() const;

    void selectAll();
    void copy() const;

    // Marks over the record's bytes besides those of its encoding (hits, differences).
    void setMarks(std::vector<Mark> marks);
    // Backgrounds of the fields' bytes, by offset, none overlapping; beneath every mark. A new
    // dump has none.
    void setFieldBands(std::vector<FieldBand> bands);
    // Adds to the context menu, after its own entries.
    void setMenuExtension(std::function<void(QMenu &)> extend) { m_menuExtension = std::move(extend); }
    // The record's byte under the cursor: in a character or digit row, the byte of its column;
    // while comparing, the column in either side's rows or the marker row.
    std::optional<std::uint64_t> cursorByte() const;
    // Scrolls to the block of the record's byte at offset, below any floating bar, and puts the
    // cursor before it in the character row; with a length, selects that many bytes'
    // characters from there. While comparing, the cursor goes to A's character row (B's past
    // A's end), or to its high digit row when the byte is inside a character there; nothing is
    // selected.
    void showByte(std::uint64_t offset, std::uint64_t length = 0);
    // Where a bar of size floats over the area: at its top or bottom right, clear of the
    // scroll bars.
    QPoint floatingBarPosition(const QSize &size, Qt::Edge edge) const;
    // Moves bar, a child of this area, there. While it shows, what is scrolled into sight is
    // kept clear of it, and the last lines can be scrolled up above a bar at the bottom.
    void placeFloatingBar(QWidget *bar, Qt::Edge edge);

signals:
    void cursorByteChanged();
    void bytesUntrusted();
    // The context menu's "Find…" and "Go To…".
    void findRequested();
    void goToRequested();
    // "Compare…" and "Compare files…".
    void compareRequested();
    void compareFilesRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One line as drawn: its text, and where each character stands in it and on the grid.
    struct ViewLine
    {
        struct Character
        {
            int textStart;
            int textLength;
            int column;
            int width;
        };
        QString text;
        std::vector<Character> characters;
        int columns = 0;
    };

    void showRows(DumpRows rows, const RecordDump *shown);
    DumpCells cells() const;
    std::vector<DumpCell> cellsOf(std::size_t line) const;
    const ViewLine &viewLine(std::size_t line) const;
    static ViewLine toViewLine(const std::vector<DumpCell> &cells);

    void updateMetrics();
    void updateScrollBar();
    int visibleLines() const;
    // The lines at that edge of the viewport that a shown floating bar covers.
    int coveredLines(Qt::Edge edge) const;
    Position positionAt(const QPoint &point) const;
    std::size_t characterAtColumn(std::size_t line, double column) const;
    int columnOf(const Position &position) const;
    Position lineEnd(std::size_t line) const;
    Position stepped(const Position &position, int characters) const;
    Position movedLines(const Position &position, std::ptrdiff_t lines) const;
    void moveCursor(const Position &position, bool extendSelection, bool byMouse = false);
    void showComparedByte(std::uint64_t offset);
    // Scrolls to the cursor's block and tells that the cursor's byte changed.
    void revealCursor();
    // clearOfBars: not under a floating bar either.
    void ensureCursorVisible(bool clearOfBars = true);
    void ensureCursorColumnVisible();

    void paintLine(QPainter &painter, std::size_t line, int top) const;
    void paintMarks(QPainter &painter, std::size_t line, int top) const;
    // The first column of a row that shows the block's bytes one column each.
    std::optional<int> firstByteColumn(std::size_t line) const;
    // In block's character row, the place before the character in the column of the record's
    // byte at offset, or after the row's characters when offset lies past the block's end.
    Position positionOfByte(std::size_t block, std::uint64_t offset) const;
    // The same in any row that shows the block's bytes one column each.
    Position positionInRow(std::size_t line, std::uint64_t offset) const;
    // The characters of a character row that show the record's bytes from .. to.
    std::pair<std::size_t, std::size_t> charactersOfBytes(std::size_t line, std::uint64_t from,
                                                          std::uint64_t to) const;
    void paintCharacters(QPainter &painter, const ViewLine &line, std::size_t first,
                         std::size_t last, int baseline) const;
    void paintCursor(QPainter &painter) const;
    double columnX(double column) const;

    mutable std::unique_ptr<CodePageDecoder> m_decoder;
    int m_codePage;
    DumpRows m_rows;
    std::vector<Mark> m_marks; // sorted by offset
    std::vector<FieldBand> m_bands;
    std::function<void(QMenu &)> m_menuExtension;
    std::uint64_t m_longestMark = 0;
    // Bytes selected by showByte() in their character rows alone, so that a selection across
    // a block's end copies just their characters; until the cursor moves.
    struct ByteRange
    {
        std::uint64_t offset;
        std::uint64_t length;
    };
    std::optional<ByteRange> m_selectedBytes;
    mutable QCache<std::size_t, ViewLine> m_lines;
    Position m_anchor;
    Position m_cursor;
    QRawFont m_rawFont;
    double m_cellWidth = 1;
    int m_lineHeight = 1;
    int m_ascent = 0;
    std::function<bool()> m_bytesTrusted;
    QPointer<QWidget> m_topBar;
    QPointer<QWidget> m_bottomBar;
};
