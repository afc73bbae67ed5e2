#include "FindController.h"

#include "DumpView.h"
#include "FindBar.h"
#include "FindTask.h"
#include "GoToTarget.h"
#include "RecordStore.h"
#include "RecordNumber.h"
#include "TimerFactory.h"

#include <QEvent>
#include <QLineEdit>

FindController::FindController(const RecordStore &store, RecordNumber *number, DumpView *view,
                               std::shared_ptr<const Encoding> encoding, TimerFactory &timers)
    : QObject(view), m_store(store), m_number(number), m_view(view), m_encoding(std::move(encoding))
{
    SetTimers(timers);
    view->installEventFilter(this);
    connect(view, &DumpView::findRequested, this, &FindController::openFind);
    connect(view, &DumpView::goToRequested, this, &FindController::openGoTo);
}

// The search's thread reads the session and the store: it ends before either goes.
FindController::~FindController()
{
    m_task.reset();
}

FindBar *FindController::bar()
{
    if (m_bar)
        return m_bar;
    m_bar = new FindBar(m_view);
    connect(m_bar, &FindBar::findRequested, this, &FindController::find);
    connect(m_bar, &FindBar::goToRequested, this, &FindController::goTo);
    connect(m_bar, &FindBar::escapePressed, this, &FindController::escape);
    connect(m_bar, &FindBar::optionsChanged, this, [this] {
        if (m_bar->mode() == FindBar::Mode::Find && !searching())
            m_session.reset();
    });
    return m_bar;
}

void FindController::SetTimers(TimerFactory &timers)
{
    m_progressTimer = timers.createTimer([this] { showProgress(); });
    if (m_progressTimer)
        m_progressTimer->setInterval(kProgressDelay);
}

void FindController::openFind()
{
    bar()->open(FindBar::Mode::Find);
    place();
}

void FindController::openGoTo()
{
    if (searching())
        return;
    bar()->open(FindBar::Mode::GoTo);
    place();
}

void FindController::find(bool backwards)
{
    if (searching() || !shownRecord() || !m_bar)
        return;
    // The hits known are kept only for the same search: the bar may have changed while a
    // search ran, and "this record only" keeps to the record shown now.
    try {
        const std::string typed = m_bar->text().toStdString();
        FindPattern pattern = m_bar->hex()
                                  ? FindPattern::hex(typed)
                                  : FindPattern::text(typed, *m_encoding, m_bar->matchCase());
        const std::optional<std::size_t> only =
            m_bar->thisRecordOnly() ? shownRecord() : std::nullopt;
        if (!m_session || !m_session->searches(m_store, m_encoding, pattern, only)) {
            m_session =
                std::make_unique<FindSession>(m_store, m_encoding, std::move(pattern), only);
            m_shownHit.reset();
        }
    } catch (const std::exception &error) {
        fail(error.what());
        return;
    }
    // From the hit shown, while it is still selected; else from the cursor.
    const std::size_t record = *shownRecord();
    FindPlace from{record, m_view->cursorByte().value_or(0)};
    bool pastFrom = false;
    if (m_shownHit && m_shownHit->record == record && m_view->hasSelection()) {
        from = {m_shownHit->record, m_shownHit->offset};
        pastFrom = true;
    }
    m_backwards = backwards;
    const auto direction =
        backwards ? FindSession::Direction::Previous : FindSession::Direction::Next;
    FindSession *session = m_session.get();
    const std::uint64_t search = ++m_search;
    m_task = std::make_unique<FindTask>([=, this](const FindProgress &progress) {
        try {
            const FindSession::Outcome outcome =
                session->find(direction, from, pastFrom, progress);
            QMetaObject::invokeMethod(
                this, [this, search, outcome] { finished(search, outcome); },
                Qt::QueuedConnection);
        } catch (const std::exception &error) {
            QMetaObject::invokeMethod(
                this, [this, search, message = std::string(error.what())] {
                    failed(search, message);
                },
                Qt::QueuedConnection);
        }
    });
    if (m_progressTimer)
        m_progressTimer->start();
}

void FindController::goTo()
{
    try {
        const GoToTarget target =
            GoToTarget::parse(m_bar->text().toStdString())
                .resolved(
                    m_store.count(),
                    shownRecord() ? *shownRecord() + 1 : 0, [this](std::uint64_t number) {
                        return m_store.record(static_cast<std::int64_t>(number - 1)).bytes.size();
                    });
        m_number->show(*target.record);
        m_bar->setStatus(QString());
        m_bar->hide();
        // Highlighted, as a hit is, so that it is seen at once.
        m_view->showByte(target.offset, 1);
        m_view->setFocus();
    } catch (const GoToTarget::Error &error) {
        m_bar->setStatus(QString::fromStdString(error.what()));
    }
}

void FindController::forgetStore()
{
    ++m_search;
    stopTask();
    m_session.reset();
    m_shownHit.reset();
}

void FindController::setEncoding(std::shared_ptr<const Encoding> encoding)
{
    forgetStore();
    m_encoding = std::move(encoding);
}

bool FindController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize && m_bar)
        place();
    return QObject::eventFilter(watched, event);
}

// A search stopped is as if it never ran: what it found by then is not taken.
void FindController::escape()
{
    if (searching()) {
        ++m_search;
        m_task->cancel();
        stopTask();
        m_bar->setStatus(tr("Search cancelled"));
        return;
    }
    m_bar->hide();
    m_view->setFocus();
}

// A search that failed on its thread: the file it read was cut short, say.
void FindController::failed(std::uint64_t search, const std::string &message)
{
    if (search != m_search || !m_task)
        return;
    stopTask();
    fail(message);
}

void FindController::fail(const std::string &message)
{
    m_bar->setStatus(QString::fromStdString(message));
    if (m_store.changed())
        emit fileChangedUnderneath();
}

void FindController::finished(std::uint64_t search, const FindSession::Outcome &outcome)
{
    if (search != m_search || !m_task)
        return;
    stopTask();
    if (!outcome.hit) {
        m_bar->setStatus(tr("not found"));
        return;
    }
    const FindHit &hit = *outcome.hit;
    m_number->show(hit.record + 1);
    m_view->setMarks({Mark{hit.offset, hit.length, Mark::Kind::Hit}});
    m_view->showByte(hit.offset, hit.length);
    m_shownHit = hit;
    QString status = tr("hit %1 of %2").arg(outcome.ordinal).arg(outcome.total);
    if (outcome.wrapped)
        status += m_backwards ? tr(", wrapped to the end") : tr(", wrapped to record 1");
    m_bar->setStatus(status);
}

void FindController::showProgress()
{
    if (m_task)
        m_bar->setStatus(tr("Searching\u2026 %1% (Esc cancels)").arg(m_task->permille() / 10));
}

void FindController::stopTask()
{
    if (m_progressTimer)
        m_progressTimer->stop();
    m_task.reset();
}

void FindController::place()
{
    m_bar->adjustSize();
    m_view->placeFloatingBar(m_bar, Qt::TopEdge);
}

std::optional<std::size_t> FindController::shownRecord() const
{
    const std::optional<std::uint64_t> number = m_number->shown(m_store.count());
    if (!number)
        return std::nullopt;
    return *number - 1;
}
