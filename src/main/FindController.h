#pragma once

// moc cannot read the standard library's concepts that this brings in.
#ifndef Q_MOC_RUN
#include "FindSession.h"
#endif

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

class DumpView;
class Encoding;
class FindBar;
class FindTask;
class RecordStore;
class RecordNumber;
class Timer;
class TimerFactory;

// Find and Go To for the main window: reads the find bar, searches on a thread of its own so
// that the window keeps repainting, and shows a hit the normal way, by setting the spin
// edit's value; then marks it in the dump area and selects it there.
class FindController : public QObject
{
    Q_OBJECT

public:
    // How long a search may take before the bar shows its progress, in milliseconds.
    static constexpr int kProgressDelay = 100;

    // The bar floats over view's top right. encoding: the one the records are shown in.
    FindController(const RecordStore &store, RecordNumber *number, DumpView *view,
                   std::shared_ptr<const Encoding> encoding, TimerFactory &timers);
    ~FindController() override;

    // Made on first use, so that until then the window's tab order is as laid out.
    FindBar *bar();
    // The progress timer's; set once, before the first search.
    void SetTimers(TimerFactory &timers);
    void openFind();
    void openGoTo();
    // Enter or F3: the next hit; Shift+F3: the previous one.
    void find(bool backwards);
    void goTo();
    bool searching() const { return m_task != nullptr; }

    // Before the store changes: a running search stops, and the hits known are forgotten.
    void forgetStore();
    void setEncoding(std::shared_ptr<const Encoding> encoding);

signals:
    // A search failed because the loaded file was cut short underneath it.
    void fileChangedUnderneath();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void escape();
    void finished(std::uint64_t search, const FindSession::Outcome &outcome);
    void failed(std::uint64_t search, const std::string &message);
    void fail(const std::string &message);
    void showProgress();
    void stopTask();
    void place();
    std::optional<std::size_t> shownRecord() const;

    const RecordStore &m_store;
    RecordNumber *m_number;
    DumpView *m_view;
    std::shared_ptr<const Encoding> m_encoding;
    FindBar *m_bar = nullptr;
    std::unique_ptr<Timer> m_progressTimer;
    // Kept while the search stays the same (FindSession::searches): it knows how many hits
    // there are.
    std::unique_ptr<FindSession> m_session;
    std::unique_ptr<FindTask> m_task;
    std::optional<FindHit> m_shownHit;
    bool m_backwards = false;
    // Counts the searches, so that the result of one stopped on the way is not taken.
    std::uint64_t m_search = 0;
};
