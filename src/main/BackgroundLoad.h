#pragma once

#include "LoadControl.h"
#include "RecordStore.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;
class TimerFactory;

// Runs a load on a thread of its own while the event loop goes on, so that the window keeps
// painting; a load still running after kDialogDelay shows the progress dialog. Input is held
// back until the dialog shows, and the dialog is modal, so nothing else starts meanwhile.
class BackgroundLoad
{
public:
    // Milliseconds.
    static constexpr int kDialogDelay = 300;
    static constexpr int kProgressInterval = 100;

    // window: the dialog's parent. timers: for the dialog's delay and its updates.
    BackgroundLoad(QWidget *window, TimerFactory &timers) : m_window(window), m_timers(timers) {}

    // Runs job on another thread and returns the store it made, once it is done; nothing when
    // Cancel was pressed, abandon() called or the application is quitting. Rethrows what job
    // threw. what: the dialog's first line.
    std::optional<RecordStore> run(const QString &what,
                                   const std::function<RecordStore(LoadControl &)> &job);

    bool running() const { return m_control != nullptr; }
    // Cancels the load that runs, for its run() to return nothing soon.
    void abandon();

private:
    QWidget *m_window;
    TimerFactory &m_timers;
    LoadControl *m_control = nullptr;
};
