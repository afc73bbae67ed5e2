#include "CompareController.h"

#include "CompareBar.h"
#include "DumpView.h"
#include "FieldsController.h"
#include "FileComparison.h"
#include "RecordNumber.h"

#include <QEvent>
#include <QFile>
#include <QKeyEvent>

namespace {

std::string shownPath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path)).toStdString();
}

QString sourceText(char side, const CompareSource &source)
{
    const QString path = QString::fromStdString(source.path);
    if (source.recordNumber == 0)
        return CompareController::tr("%1: %2, no such record (%3 records)")
            .arg(QLatin1Char(side))
            .arg(path)
            .arg(source.count);
    return CompareController::tr("%1: %2, record %3 of %4")
        .arg(QLatin1Char(side))
        .arg(path)
        .arg(source.recordNumber)
        .arg(source.count);
}

QString countsText(const FileComparison::Counts &counts)
{
    const QString differing =
        counts.differing == 1 ? CompareController::tr("1 record differs")
                              : CompareController::tr("%1 records differ").arg(counts.differing);
    return CompareController::tr("%1, %2 only in A, %3 only in B")
        .arg(differing)
        .arg(counts.onlyA)
        .arg(counts.onlyB);
}

} // namespace

CompareController::CompareController(const RecordStore &store, const std::string &path,
                                     RecordNumber *number, DumpView *view,
                                     std::shared_ptr<const Encoding> encoding, Loader load,
                                     CompareDialog::Chooser choose)
    : QObject(view), m_store(store), m_path(path), m_number(number), m_view(view),
      m_encoding(std::move(encoding)), m_load(std::move(load)), m_choose(std::move(choose))
{
    view->installEventFilter(this);
    connect(view, &DumpView::compareRequested, this, &CompareController::openCompare);
    connect(view, &DumpView::compareFilesRequested, this, &CompareController::openCompareFiles);
}

CompareController::~CompareController() = default;

CompareBar *CompareController::bar()
{
    if (m_bar)
        return m_bar;
    m_bar = new CompareBar(m_view);
    connect(m_bar, &CompareBar::closeRequested, this, &CompareController::leave);
    return m_bar;
}

// Without a record shown, or a file loaded, there is nothing to compare: no dialog offers it.
void CompareController::openCompare()
{
    if (!shownRecord()) {
        fail(tr("No record is shown to compare"));
        return;
    }
    CompareDialog dialog(m_choose, m_view->window());
    dialog.setChoice(m_lastChoice);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_lastChoice = dialog.choice();
    compareWith(m_lastChoice);
}

void CompareController::compareWith(const CompareChoice &choice)
{
    const std::optional<std::size_t> shown = shownRecord();
    if (!shown) {
        fail(tr("No record is shown to compare"));
        return;
    }
    try {
        std::optional<RecordStore> other;
        if (choice.path) {
            other = loadOther(*choice.path);
            if (!other)
                return;
        }
        const RecordStore &storeB = other ? *other : m_store;
        const std::string pathB = other ? QFile::encodeName(*choice.path).toStdString() : m_path;
        if (choice.record < 1 || static_cast<std::uint64_t>(choice.record) > storeB.count()) {
            fail(tr("Record %1 is beyond the %2 records of %3")
                     .arg(choice.record)
                     .arg(storeB.count())
                     .arg(QString::fromStdString(shownPath(pathB))));
            return;
        }
        end();
        m_mode = Mode::Records;
        show(pairOf(storeB, pathB, *shown, static_cast<std::size_t>(choice.record - 1)));
    } catch (const std::exception &error) {
        fail(QString::fromStdString(error.what()));
    }
}

void CompareController::openCompareFiles()
{
    if (m_store.count() == 0) {
        fail(tr("No file is loaded to compare"));
        return;
    }
    const std::optional<QString> path = m_choose(m_lastFile);
    if (!path)
        return;
    m_lastFile = *path;
    compareFiles(*path);
}

void CompareController::compareFiles(const QString &path)
{
    if (m_store.count() == 0) {
        fail(tr("No file is loaded to compare"));
        return;
    }
    try {
        std::optional<RecordStore> loaded = loadOther(path);
        if (!loaded)
            return;
        auto other = std::make_unique<RecordStore>(std::move(*loaded));
        auto files = std::make_unique<FileComparison>(m_store, *other);
        const QString counts = countsText(files->counts());
        const std::optional<FileComparison::Difference> first = files->next(0);
        end();
        m_other = std::move(other);
        m_files = std::move(files);
        m_otherPath = QFile::encodeName(path).toStdString();
        m_counts = counts;
        m_mode = Mode::Files;
        goToFileRecord(first ? first->record : shownRecord().value_or(0));
    } catch (const std::exception &error) {
        fail(QString::fromStdString(error.what()));
    }
}

void CompareController::stepDifference(bool backwards)
{
    const CompareDump *compare = m_view->compare();
    if (!active() || !compare)
        return;
    const RecordComparison &comparison = compare->comparison();
    const std::optional<std::uint64_t> at = m_view->cursorByte();
    std::optional<std::uint64_t> target;
    if (backwards)
        target = comparison.previousDifference(at.value_or(comparison.length()));
    else if (at)
        target = comparison.nextDifference(*at);
    else if (!comparison.identical())
        target = comparison.firstDifference();
    if (!target) {
        bar()->setStatus(backwards ? tr("No difference before the cursor")
                                   : tr("No difference after the cursor"));
        return;
    }
    bar()->setStatus(QString());
    m_view->setFocus();
    m_view->showByte(*target);
}

void CompareController::stepRecord(bool backwards)
{
    if (!comparingFiles()) {
        if (!backwards)
            openCompareFiles();
        return;
    }
    const std::optional<FileComparison::Difference> found =
        backwards ? m_files->previous(m_index) : m_files->next(m_index + 1);
    if (!found) {
        bar()->setStatus(backwards ? tr("No differing record before this one")
                                   : tr("No differing record after this one"));
        return;
    }
    goToFileRecord(found->record);
}

void CompareController::recordShown(std::size_t index)
{
    if (comparingFiles())
        showFileRecord(index);
    else
        end();
}

void CompareController::leave()
{
    if (!active())
        return;
    end();
    m_view->setFocus();
    emit left();
}

void CompareController::forgetStore()
{
    end();
}

void CompareController::setEncoding(std::shared_ptr<const Encoding> encoding)
{
    m_encoding = std::move(encoding);
    redraw();
}

void CompareController::redraw()
{
    if (active() && m_pair)
        show(*m_pair);
}

bool CompareController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize && m_bar)
        place();
    if (watched == m_view && event->type() == QEvent::KeyPress && active() &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        leave();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

std::optional<RecordStore> CompareController::loadOther(const QString &path)
{
    if (path.isEmpty())
        throw std::invalid_argument(tr("Choose the other file").toStdString());
    try {
        return m_load(QFile::encodeName(path).toStdString());
    } catch (const std::exception &error) {
        throw std::runtime_error(
            tr("%1: %2").arg(path, QString::fromStdString(error.what())).toStdString());
    }
}

std::optional<std::size_t> CompareController::shownRecord() const
{
    const std::optional<std::uint64_t> number = m_number->shown(m_store.count());
    if (!number)
        return std::nullopt;
    return *number - 1;
}

CompareSource CompareController::sourceOf(const std::string &path, const RecordStore &store,
                                          std::size_t index) const
{
    return {shownPath(path), index < store.count() ? index + 1 : 0, store.count()};
}

CompareController::Pair CompareController::pairOf(const RecordStore &storeB,
                                                  const std::string &pathB, std::size_t indexA,
                                                  std::size_t indexB) const
{
    Pair pair;
    pair.sourceA = sourceOf(m_path, m_store, indexA);
    pair.sourceB = sourceOf(pathB, storeB, indexB);
    // A record one side has not is compared with an empty one.
    if (indexA < m_store.count())
        pair.a = m_store.record(static_cast<std::int64_t>(indexA));
    if (indexB < storeB.count())
        pair.b = storeB.record(static_cast<std::int64_t>(indexB));
    return pair;
}

void CompareController::show(Pair pair)
{
    const auto [encodingA, encodingB] = m_fields ? m_fields->cuttingBoth(pair.a, pair.b, m_encoding)
                                                 : std::pair{m_encoding, m_encoding};
    const auto dumpOf = [](const Record &record, const CompareSource &source,
                           std::shared_ptr<const Encoding> encoding) {
        DumpHeader header{source.path, RecordDump::lengthLabel(record.bytes.size()),
                          static_cast<std::int64_t>(source.recordNumber),
                          RecordDump::countLabel(source.count)};
        return std::make_shared<const RecordDump>(record, std::move(encoding), std::move(header));
    };
    auto compare = std::make_shared<const CompareDump>(dumpOf(pair.a, pair.sourceA, encodingA),
                                                       dumpOf(pair.b, pair.sourceB, encodingB),
                                                       pair.sourceA, pair.sourceB);
    QString summary = QString::fromStdString(compare->comparison().summary());
    m_view->setCompare(std::move(compare));
    if (const QString fields = m_fields ? m_fields->shownBoth() : QString(); !fields.isEmpty())
        summary += QStringLiteral("; ") + fields;
    bar()->setSources(sourceText('A', pair.sourceA), sourceText('B', pair.sourceB));
    bar()->setSummary(comparingFiles() ? m_counts + tr("; this record: ") + summary : summary);
    bar()->setStatus(QString());
    m_pair = std::move(pair);
    bar()->open();
    place();
}

void CompareController::showFileRecord(std::size_t index)
{
    m_index = index;
    show(pairOf(*m_other, m_otherPath, index, index));
}

// Through the spin edit where A has the record, so that the window's labels follow.
void CompareController::goToFileRecord(std::size_t index)
{
    m_index = index;
    if (index < m_store.count() && m_number->shown(m_store.count()) != index + 1)
        m_number->show(index + 1);
    else
        showFileRecord(index);
}

void CompareController::fail(const QString &message)
{
    if (m_store.changed())
        emit fileChangedUnderneath();
    if (!active()) {
        bar()->setSources(QString(), QString());
        bar()->setSummary(QString());
    }
    bar()->setStatus(message);
    bar()->open();
    place();
}

void CompareController::end()
{
    m_mode = Mode::None;
    m_pair.reset();
    m_files.reset();
    m_other.reset();
    if (m_bar)
        m_bar->hide();
}

void CompareController::place()
{
    m_bar->adjustSize();
    m_view->placeFloatingBar(m_bar, Qt::BottomEdge);
}
