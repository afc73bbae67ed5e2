#include "DumpView.h"

#include "CodePageDecoder.h"
#include "CompareDump.h"
#include "RecordDump.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 2;      // pixels left of the first column
constexpr int kCodePage = 1252; // until the window sets the user's
constexpr int kCachedLines = 512;
constexpr int kBarGap = 2; // pixels between a floating bar and the area's edges
constexpr std::uint64_t kBlockBytes = 100;
// Columns of the widest row a block has: the header's 108 hyphens, or an offset field of
// seven digits before 100 bytes whose last character overhangs. The header's path may be wider.
constexpr int kWidestRow = 109;

// Translucent, so that they read over light and dark bases alike.
QColor markColour(Mark::Kind kind)
{
    switch (kind) {
    case Mark::Kind::IllFormed:
        return QColor(230, 40, 40, 110);
    case Mark::Kind::Unmapped:
        return QColor(240, 150, 0, 110);
    case Mark::Kind::Shift:
        return QColor(40, 110, 240, 90);
    case Mark::Kind::Hit:
        return QColor(60, 200, 60, 130);
    case Mark::Kind::Difference:
        return QColor(220, 0, 220, 120);
    }
    return {};
}

// Light enough for the marks and the selection to show over them.
QColor bandColour(FieldBand::Kind kind)
{
    switch (kind) {
    case FieldBand::Kind::Even:
        return QColor(110, 160, 255, 60);
    case FieldBand::Kind::Odd:
        return QColor(110, 210, 110, 70);
    case FieldBand::Kind::Invalid:
        return markColour(Mark::Kind::IllFormed);
    }
    return {};
}

int utf16Length(const std::string &utf8)
{
    int length = 0;
    for (const char byte : utf8) {
        const auto value = static_cast<unsigned char>(byte);
        if ((value & 0xC0) != 0x80)
            length += value >= 0xF0 ? 2 : 1;
    }
    return length;
}

} // namespace

DumpView::DumpView(QWidget *parent)
    : QAbstractScrollArea(parent), m_codePage(kCodePage), m_lines(kCachedLines)
{
    setFocusPolicy(Qt::ClickFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Only where the area is narrower than a block's rows, so that every column can be reached.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
    updateScrollBar();
}

DumpView::~DumpView() = default;

void DumpView::setCodePage(int codePage)
{
    m_decoder = std::make_unique<CodePageDecoder>(codePage);
    m_codePage = codePage;
    m_lines.clear();
    viewport()->update();
}

void DumpView::setDump(std::shared_ptr<const RecordDump> dump)
{
    const RecordDump *shown = dump.get();
    showRows(DumpRows(std::move(dump)), shown);
}

void DumpView::setCompare(std::shared_ptr<const CompareDump> compare)
{
    const RecordDump *shown = compare ? &compare->dumpA() : nullptr;
    showRows(DumpRows(std::move(compare)), shown);
}

void DumpView::showRows(DumpRows rows, const RecordDump *shown)
{
    m_rows = std::move(rows);
    // A lead-byte encoding chosen over the locale's draws through its own code page.
    const std::optional<int> codePage = shown ? shown->encoding().windowsCodePage() : std::nullopt;
    if (codePage && codePage != m_codePage)
        setCodePage(*codePage);
    m_lines.clear();
    m_marks.clear();
    m_bands.clear();
    m_longestMark = 0;
    m_anchor = m_cursor = Position();
    m_selectedBytes.reset();
    updateScrollBar();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit cursorByteChanged();
}

void DumpView::clear()
{
    setDump(nullptr);
}

std::size_t DumpView::lineCount() const
{
    return m_rows.lineCount() + 1;
}

std::size_t DumpView::firstVisibleLine() const
{
    return static_cast<std::size_t>(verticalScrollBar()->value());
}

QString DumpView::selectedText() const
{
    if (m_selectedBytes) {
        const std::uint64_t end = m_selectedBytes->offset + m_selectedBytes->length;
        QString text;
        for (std::uint64_t block = m_selectedBytes->offset / kBlockBytes; block * kBlockBytes < end;
             ++block) {
            const std::size_t line = RecordDump::firstLineOfBlock(block);
            const ViewLine &view = viewLine(line);
            auto [from, to] = charactersOfBytes(line, m_selectedBytes->offset, end);
            // A block that begins inside a character shows it in the block before.
            const std::uint64_t blockStart = block * kBlockBytes;
            if (blockStart > m_selectedBytes->offset && from < to &&
                m_rows.dump()->unitHolding(blockStart).offset < blockStart)
                ++from;
            for (std::size_t i = from; i < to; ++i)
                text += view.text.mid(view.characters[i].textStart, view.characters[i].textLength);
        }
        return text;
    }
    const auto [start, end] = std::minmax(m_anchor, m_cursor);
    std::string text;
    for (std::size_t line = start.line; line <= end.line; ++line) {
        const std::vector<DumpCell> lineCells = cellsOf(line);
        const std::size_t from = line == start.line ? start.character : 0;
        const std::size_t to = line == end.line ? end.character : lineCells.size();
        for (std::size_t i = std::min(from, to); i < std::min(to, lineCells.size()); ++i)
            text += lineCells[i].text;
        if (line < end.line)
            text += '\n';
    }
    return QString::fromStdString(text);
}

void DumpView::selectAll()
{
    m_selectedBytes.reset();
    m_anchor = Position();
    m_cursor = lineEnd(lineCount() - 1);
    viewport()->update();
}

void DumpView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void DumpView::setMarks(std::vector<Mark> marks)
{
    std::ranges::sort(marks, {}, &Mark::offset);
    m_longestMark = 0;
    for (const Mark &mark : marks)
        m_longestMark = std::max(m_longestMark, mark.length);
    m_marks = std::move(marks);
    viewport()->update();
}

void DumpView::setFieldBands(std::vector<FieldBand> bands)
{
    m_bands = std::move(bands);
    viewport()->update();
}

std::optional<std::uint64_t> DumpView::cursorByte() const
{
    if (m_cursor.line >= m_rows.lineCount())
        return std::nullopt;
    const DumpRows::Row row = m_rows.row(m_cursor.line);
    if (!row.firstByteColumn)
        return std::nullopt;
    const int column = columnOf(m_cursor) - *row.firstByteColumn;
    const std::uint64_t offset = row.begin + static_cast<std::uint64_t>(column);
    if (column < 0 || offset >= row.end)
        return std::nullopt;
    return offset;
}

void DumpView::showByte(std::uint64_t offset, std::uint64_t length)
{
    if (m_rows.compare()) {
        showComparedByte(offset);
        return;
    }
    const RecordDump *dump = m_rows.dump();
    if (!dump || offset >= dump->record().bytes.size())
        return;
    // Whole characters: from the one that holds the first byte to the end of the one that
    // holds the last.
    const std::uint64_t size = dump->record().bytes.size();
    const RecordDump::RowUnit first = dump->unitHolding(offset);
    const RecordDump::RowUnit lastUnit =
        length == 0 ? first : dump->unitHolding(offset + std::min(length, size - offset) - 1);
    const std::uint64_t end = lastUnit.offset + lastUnit.length;
    // The cursor stands on the first byte, so that the status line tells of it, and keeps to
    // the block asked for: where a character begun in the block before holds the byte, the
    // blank above it stands for that character.
    const std::size_t block = offset / kBlockBytes;
    m_cursor = positionOfByte(block, std::max(first.offset, block * kBlockBytes));
    m_anchor = length == 0 ? m_cursor : positionOfByte(lastUnit.offset / kBlockBytes, end);
    m_selectedBytes.reset();
    if (length != 0)
        m_selectedBytes = ByteRange{first.offset, end - first.offset};
    revealCursor();
}

// A selection by bytes stands in one record's character rows: comparing, only the cursor moves.
void DumpView::showComparedByte(std::uint64_t offset)
{
    const std::optional<std::size_t> line = m_rows.characterLineOf(offset);
    if (!line)
        return;
    m_anchor = positionInRow(*line, offset);
    if (columnOf(m_anchor) != *firstByteColumn(*line) + int(offset % kBlockBytes))
        m_anchor = positionInRow(*m_rows.highDigitLineOf(offset), offset);
    m_cursor = m_anchor;
    m_selectedBytes.reset();
    revealCursor();
}

// The line before the cursor's, then its block, below any bar at the top.
void DumpView::revealCursor()
{
    const auto above = static_cast<std::size_t>(coveredLines(Qt::TopEdge) + 1);
    verticalScrollBar()->setValue(
        static_cast<int>(m_cursor.line > above ? m_cursor.line - above : 0));
    ensureCursorVisible();
    viewport()->update();
    emit cursorByteChanged();
}

QPoint DumpView::floatingBarPosition(const QSize &size, Qt::Edge edge) const
{
    const int right = width() - verticalScrollBar()->width() - kBarGap;
    const QScrollBar *across = horizontalScrollBar();
    const int bottom = height() - (across->isVisibleTo(this) ? across->height() : 0);
    const int top = edge == Qt::BottomEdge ? bottom - size.height() - kBarGap : kBarGap;
    return {std::max(0, right - size.width()), std::max(0, top)};
}

void DumpView::placeFloatingBar(QWidget *bar, Qt::Edge edge)
{
    QPointer<QWidget> &held = edge == Qt::BottomEdge ? m_bottomBar : m_topBar;
    if (held != bar) {
        held = bar;
        bar->installEventFilter(this);
    }
    bar->move(floatingBarPosition(bar->size(), edge));
    updateScrollBar();
}

void DumpView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, palette().base());
    painter.translate(-horizontalScrollBar()->value(), 0);
    const std::size_t first = firstVisibleLine();
    const int firstRow = std::max(0, dirty.top() / m_lineHeight);
    const int lastRow = dirty.bottom() / m_lineHeight;
    for (int row = firstRow; row <= lastRow; ++row) {
        const std::size_t line = first + static_cast<std::size_t>(row);
        if (line >= lineCount())
            break;
        paintLine(painter, line, row * m_lineHeight);
    }
    if (hasFocus())
        paintCursor(painter);
    if (m_bytesTrusted && !m_bytesTrusted()) {
        painter.resetTransform();
        painter.fillRect(dirty, palette().base());
        emit bytesUntrusted();
    }
}

void DumpView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void DumpView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBar();
        viewport()->update();
    }
}

void DumpView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        event->accept();
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const auto page = static_cast<std::ptrdiff_t>(visibleLines());
    switch (event->key()) {
    case Qt::Key_Left:
        moveCursor(stepped(m_cursor, -1), extend);
        break;
    case Qt::Key_Right:
        moveCursor(stepped(m_cursor, 1), extend);
        break;
    case Qt::Key_Up:
        moveCursor(movedLines(m_cursor, -1), extend);
        break;
    case Qt::Key_Down:
        moveCursor(movedLines(m_cursor, 1), extend);
        break;
    case Qt::Key_PageUp:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        moveCursor(movedLines(m_cursor, -page), extend);
        break;
    case Qt::Key_PageDown:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        moveCursor(movedLines(m_cursor, page), extend);
        break;
    case Qt::Key_Home:
        moveCursor(Position(), extend);
        break;
    case Qt::Key_End:
        moveCursor(lineEnd(lineCount() - 1), extend);
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void DumpView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    moveCursor(positionAt(event->position().toPoint()),
               event->modifiers().testFlag(Qt::ShiftModifier), true);
    event->accept();
}

void DumpView::mouseMoveEvent(QMouseEvent *event)
{
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        event->ignore();
        return;
    }
    moveCursor(positionAt(event->position().toPoint()), true, true);
    event->accept();
}

void DumpView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("&Copy"), this, &DumpView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    menu.addAction(tr("Select &All"), this, &DumpView::selectAll)
        ->setShortcut(QKeySequence::SelectAll);
    menu.addSeparator();
    menu.addAction(tr("&Find\u2026"), this, &DumpView::findRequested)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    menu.addAction(tr("&Go To\u2026"), this, &DumpView::goToRequested)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    menu.addSeparator();
    // Only a record shown can be compared.
    const bool shown = m_rows.dump() || m_rows.compare();
    QAction *compareAction =
        menu.addAction(tr("Co&mpare\u2026"), this, &DumpView::compareRequested);
    compareAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    compareAction->setEnabled(shown);
    QAction *filesAction =
        menu.addAction(tr("Compare f&iles\u2026"), this, &DumpView::compareFilesRequested);
    filesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7));
    filesAction->setEnabled(shown);
    if (m_menuExtension)
        m_menuExtension(menu);
    menu.exec(event->globalPos());
}

void DumpView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void DumpView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void DumpView::scrollContentsBy(int, int)
{
    viewport()->update();
}

// A floating bar that shows, hides or changes its size changes what can be scrolled to.
bool DumpView::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_topBar || watched == m_bottomBar) &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
         event->type() == QEvent::Resize))
        updateScrollBar();
    return QAbstractScrollArea::eventFilter(watched, event);
}

DumpCells DumpView::cells() const
{
    // Made on first use: building a decoder's tables takes a while.
    if (!m_decoder)
        m_decoder = std::make_unique<CodePageDecoder>(m_codePage);
    return DumpCells(*m_decoder);
}

std::vector<DumpCell> DumpView::cellsOf(std::size_t line) const
{
    if (line >= m_rows.lineCount())
        return {};
    const DumpRows::Row row = m_rows.row(line);
    std::vector<DumpCell> label = DumpCells::textRow(row.text);
    if (!row.dump)
        return label;
    std::vector<DumpCell> lineCells = cells().line(*row.dump, row.dumpLine);
    label.resize(std::min(label.size(), lineCells.size()));
    std::ranges::move(label, lineCells.begin());
    return lineCells;
}

const DumpView::ViewLine &DumpView::viewLine(std::size_t line) const
{
    if (const ViewLine *cached = m_lines.object(line))
        return *cached;
    auto *built = new ViewLine(toViewLine(cellsOf(line)));
    m_lines.insert(line, built);
    return *built;
}

DumpView::ViewLine DumpView::toViewLine(const std::vector<DumpCell> &cells)
{
    ViewLine line;
    line.characters.reserve(cells.size());
    std::string utf8;
    int textStart = 0;
    for (const DumpCell &cell : cells) {
        const int textLength = utf16Length(cell.text);
        line.characters.push_back({textStart, textLength, line.columns, cell.width});
        utf8 += cell.text;
        textStart += textLength;
        line.columns += cell.width;
    }
    line.text = QString::fromStdString(utf8);
    return line;
}

void DumpView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    m_cellWidth = std::max(1.0, metrics.horizontalAdvance(QLatin1Char('0')));
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_ascent = static_cast<int>(std::ceil(metrics.ascent()));
    m_rawFont = QRawFont::fromFont(font());
}

void DumpView::updateScrollBar()
{
    const int lines = visibleLines();
    const auto count = static_cast<std::ptrdiff_t>(lineCount());
    const int clear = std::max(1, lines - coveredLines(Qt::BottomEdge));
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, static_cast<int>(std::max<std::ptrdiff_t>(0, count - clear)));
    bar->setPageStep(lines);
    bar->setSingleStep(1);
    // The header's lines above the first block, whose first line names the file.
    int widest = kWidestRow;
    const std::size_t header = std::min(RecordDump::firstLineOfBlock(0), m_rows.lineCount());
    for (std::size_t line = 0; line < header; ++line)
        widest = std::max(widest, viewLine(line).columns);
    const int width = static_cast<int>(std::ceil(columnX(widest))) + kMargin;
    QScrollBar *across = horizontalScrollBar();
    across->setRange(0, std::max(0, width - viewport()->width()));
    across->setPageStep(viewport()->width());
    across->setSingleStep(static_cast<int>(std::ceil(m_cellWidth)));
}

int DumpView::visibleLines() const
{
    return std::max(1, viewport()->height() / m_lineHeight);
}

int DumpView::coveredLines(Qt::Edge edge) const
{
    const QWidget *bar = edge == Qt::BottomEdge ? m_bottomBar : m_topBar;
    if (!bar || !bar->isVisibleTo(this))
        return 0;
    const QRect onViewport(viewport()->mapFrom(this, bar->pos()), bar->size());
    const int pixels =
        edge == Qt::BottomEdge ? viewport()->height() - onViewport.top() : onViewport.bottom() + 1;
    return std::clamp((pixels + m_lineHeight - 1) / m_lineHeight, 0, visibleLines());
}

DumpView::Position DumpView::positionAt(const QPoint &point) const
{
    const auto row = static_cast<std::ptrdiff_t>(std::floor(double(point.y()) / m_lineHeight));
    const auto line =
        std::clamp<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(firstVisibleLine()) + row, 0,
                                   static_cast<std::ptrdiff_t>(lineCount()) - 1);
    const auto index = static_cast<std::size_t>(line);
    const int x = point.x() + horizontalScrollBar()->value();
    return {index, characterAtColumn(index, (x - kMargin) / m_cellWidth)};
}

std::size_t DumpView::characterAtColumn(std::size_t line, double column) const
{
    const ViewLine &view = viewLine(line);
    for (std::size_t i = 0; i < view.characters.size(); ++i) {
        const ViewLine::Character &character = view.characters[i];
        if (column < character.column + character.width / 2.0)
            return i;
    }
    return view.characters.size();
}

int DumpView::columnOf(const Position &position) const
{
    const ViewLine &view = viewLine(position.line);
    if (position.character < view.characters.size())
        return view.characters[position.character].column;
    return view.columns;
}

DumpView::Position DumpView::lineEnd(std::size_t line) const
{
    return {line, viewLine(line).characters.size()};
}

DumpView::Position DumpView::stepped(const Position &position, int characters) const
{
    if (characters < 0) {
        if (position.character > 0)
            return {position.line, position.character - 1};
        return position.line > 0 ? lineEnd(position.line - 1) : position;
    }
    if (position.character < lineEnd(position.line).character)
        return {position.line, position.character + 1};
    return position.line + 1 < lineCount() ? Position{position.line + 1, 0} : position;
}

DumpView::Position DumpView::movedLines(const Position &position, std::ptrdiff_t lines) const
{
    const auto target = static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(position.line) + lines, 0,
                                   static_cast<std::ptrdiff_t>(lineCount()) - 1));
    return {target, characterAtColumn(target, columnOf(position))};
}

void DumpView::moveCursor(const Position &position, bool extendSelection, bool byMouse)
{
    if (m_selectedBytes) {
        m_selectedBytes.reset();
        m_anchor = m_cursor;
    }
    m_cursor = position;
    if (!extendSelection)
        m_anchor = position;
    // A line clicked beside a bar stays where it is.
    ensureCursorVisible(!byMouse);
    viewport()->update();
    emit cursorByteChanged();
}

void DumpView::ensureCursorVisible(bool clearOfBars)
{
    const std::size_t first = firstVisibleLine();
    const auto lines = static_cast<std::size_t>(visibleLines());
    // Lines under the bars, leaving at least one clear.
    const std::size_t above =
        clearOfBars ? std::min<std::size_t>(coveredLines(Qt::TopEdge), lines - 1) : 0;
    const std::size_t below =
        clearOfBars ? std::min<std::size_t>(coveredLines(Qt::BottomEdge), lines - 1 - above) : 0;
    const std::size_t clear = lines - above - below;
    if (m_cursor.line < first + above)
        verticalScrollBar()->setValue(
            static_cast<int>(m_cursor.line > above ? m_cursor.line - above : 0));
    else if (m_cursor.line >= first + above + clear)
        verticalScrollBar()->setValue(static_cast<int>(m_cursor.line + 1 - above - clear));
    ensureCursorColumnVisible();
}

void DumpView::ensureCursorColumnVisible()
{
    QScrollBar *across = horizontalScrollBar();
    const auto x = static_cast<int>(columnX(columnOf(m_cursor)));
    if (x - kMargin < across->value())
        across->setValue(x - kMargin);
    else if (x + static_cast<int>(std::ceil(m_cellWidth)) > across->value() + viewport()->width())
        across->setValue(x + static_cast<int>(std::ceil(m_cellWidth)) - viewport()->width());
}

std::optional<int> DumpView::firstByteColumn(std::size_t line) const
{
    if (line >= m_rows.lineCount())
        return std::nullopt;
    return m_rows.row(line).firstByteColumn;
}

DumpView::Position DumpView::positionOfByte(std::size_t block, std::uint64_t offset) const
{
    return positionInRow(RecordDump::firstLineOfBlock(block), offset);
}

DumpView::Position DumpView::positionInRow(std::size_t line, std::uint64_t offset) const
{
    const int column = *firstByteColumn(line) + static_cast<int>(offset - m_rows.row(line).begin);
    return {line, characterAtColumn(line, column)};
}

std::pair<std::size_t, std::size_t>
DumpView::charactersOfBytes(std::size_t line, std::uint64_t from, std::uint64_t to) const
{
    const ViewLine &view = viewLine(line);
    const DumpRows::Row row = m_rows.row(line);
    const std::uint64_t blockStart = row.begin;
    const int indent = row.firstByteColumn.value_or(0);
    const auto columnOfByte = [&](std::uint64_t offset) {
        return indent + static_cast<int>(std::clamp(offset, blockStart, blockStart + kBlockBytes) -
                                         blockStart);
    };
    const int firstColumn = columnOfByte(from);
    const int endColumn = columnOfByte(to);
    std::size_t first = view.characters.size();
    std::size_t end = view.characters.size();
    for (std::size_t i = 0; i < view.characters.size(); ++i) {
        const ViewLine::Character &character = view.characters[i];
        if (first == view.characters.size() && character.column + character.width > firstColumn)
            first = i;
        if (character.column >= endColumn) {
            end = i;
            break;
        }
    }
    return {std::min(first, end), end};
}

void DumpView::paintMarks(QPainter &painter, std::size_t line, int top) const
{
    if (line >= m_rows.lineCount())
        return;
    const DumpRows::Row row = m_rows.row(line);
    const std::optional<int> first = row.firstByteColumn;
    if (!first)
        return;
    const std::uint64_t begin = row.begin;
    const std::uint64_t end = row.end;
    // A character row also shows the rest of a unit that overhangs its last column.
    const bool characters = row.characters;
    const int lastColumn = characters ? viewLine(line).columns : *first + int(end - begin);
    const auto paint = [&](std::uint64_t offset, std::uint64_t length, const QColor &colour) {
        if (characters && offset >= end)
            return;
        const double from = double(std::max(offset, begin) - begin) + *first;
        const double to =
            std::min(double(offset + length) - double(begin) + *first, double(lastColumn));
        if (from < to)
            painter.fillRect(QRectF(columnX(from), top, columnX(to) - columnX(from), m_lineHeight),
                             colour);
    };
    auto band = std::ranges::upper_bound(m_bands, begin, {}, [](const FieldBand &field) {
        return field.offset + field.length;
    });
    for (; band != m_bands.end() && band->offset < end; ++band)
        paint(band->offset, band->length, bandColour(band->kind));
    for (const Mark &mark : m_rows.marksOf(row))
        paint(mark.offset, mark.length, markColour(mark.kind));
    const std::uint64_t reach = begin >= m_longestMark ? begin - m_longestMark : 0;
    auto mark = std::ranges::lower_bound(m_marks, reach, {}, &Mark::offset);
    for (; mark != m_marks.end() && mark->offset < end; ++mark)
        paint(mark->offset, mark->length, markColour(mark->kind));
}

void DumpView::paintLine(QPainter &painter, std::size_t line, int top) const
{
    paintMarks(painter, line, top);
    const ViewLine &view = viewLine(line);
    const std::size_t count = view.characters.size();
    const auto [start, end] = std::minmax(m_anchor, m_cursor);
    std::size_t from = count;
    std::size_t to = count;
    bool lineEndSelected = false;
    if (m_selectedBytes) {
        const std::uint64_t first = m_selectedBytes->offset;
        const std::uint64_t last = first + m_selectedBytes->length;
        const std::uint64_t block = RecordDump::blockOfLine(line);
        if (line < m_rows.lineCount() && m_rows.row(line).characters &&
            block >= first / kBlockBytes && block * kBlockBytes < last)
            std::tie(from, to) = charactersOfBytes(line, first, last);
    } else if (start != end && line >= start.line && line <= end.line) {
        from = line == start.line ? std::min(start.character, count) : 0;
        to = line == end.line ? std::min(end.character, count) : count;
        lineEndSelected = line < end.line;
    }
    const auto columnAt = [&](std::size_t i) {
        return i < count ? view.characters[i].column : view.columns;
    };
    const double left = columnX(columnAt(from));
    const double right = columnX(columnAt(to) + (lineEndSelected ? 1 : 0));
    if (right > left)
        painter.fillRect(QRectF(left, top, right - left, m_lineHeight), palette().highlight());

    const int baseline = top + m_ascent;
    painter.setPen(palette().color(QPalette::Text));
    paintCharacters(painter, view, 0, from, baseline);
    paintCharacters(painter, view, to, count, baseline);
    painter.setPen(palette().color(QPalette::HighlightedText));
    paintCharacters(painter, view, from, to, baseline);
}

void DumpView::paintCharacters(QPainter &painter, const ViewLine &line, std::size_t first,
                               std::size_t last, int baseline) const
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (std::size_t i = first; i < last; ++i) {
        const ViewLine::Character &character = line.characters[i];
        const QPointF at(columnX(character.column), baseline);
        quint32 glyph[2] = {};
        int glyphCount = 2;
        const bool found =
            m_rawFont.glyphIndexesForChars(line.text.constData() + character.textStart,
                                           character.textLength, glyph, &glyphCount) &&
            glyphCount == 1 && glyph[0] != 0;
        if (found) {
            glyphs.append(glyph[0]);
            positions.append(at);
        } else {
            // Not in the grid's font: let the font fallback find it, still on the grid.
            painter.drawText(at, line.text.mid(character.textStart, character.textLength));
        }
    }
    if (glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(), run);
}

void DumpView::paintCursor(QPainter &painter) const
{
    const std::size_t first = firstVisibleLine();
    if (m_cursor.line < first || m_cursor.line - first > static_cast<std::size_t>(visibleLines()))
        return;
    const auto top = static_cast<int>(m_cursor.line - first) * m_lineHeight;
    const double x = columnX(columnOf(m_cursor));
    painter.fillRect(QRectF(x, top, 1, m_lineHeight), palette().color(QPalette::Text));
}

double DumpView::columnX(double column) const
{
    return kMargin + column * m_cellWidth;
}
