#include "BackgroundLoad.h"

#include "LoadProgressDialog.h"
#include "TimerFactory.h"

#include <QEventLoop>

#include <atomic>
#include <exception>
#include <thread>

namespace {

// What a wake-up returns from the loop; anything else is the application's exit.
constexpr int kWake = 0x10ad;

} // namespace

std::optional<RecordStore> BackgroundLoad::run(const QString &what,
                                               const std::function<RecordStore(LoadControl &)> &job)
{
    LoadControl control;
    std::optional<RecordStore> store;
    std::exception_ptr error;
    std::atomic<bool> finished = false;
    QEventLoop loop;
    const auto wake = [&loop] {
        loop.exit(kWake);
    };

    LoadProgressDialog dialog(what, m_window);
    QObject::connect(&dialog, &LoadProgressDialog::cancelRequested,
                     [&control] { control.cancel(); });
    bool dialogShown = false;
    Timer *ticking = nullptr;
    const std::unique_ptr<Timer> timer = m_timers.createTimer([&] {
        if (!dialogShown) {
            dialogShown = true;
            ticking->setInterval(kProgressInterval);
            dialog.show();
            wake(); // to take input again, for the dialog
        }
        dialog.setProgress(control.done(), control.total());
    });
    ticking = timer.get();
    if (timer) {
        timer->setInterval(kDialogDelay);
        timer->start();
    }

    m_control = &control;
    std::thread worker([&] {
        try {
            store = job(control);
        } catch (const LoadControl::Cancelled &) {
        } catch (...) {
            error = std::current_exception();
        }
        finished.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(&loop, wake, Qt::QueuedConnection);
    });
    while (!finished.load(std::memory_order_acquire)) {
        const auto input = dialogShown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        if (loop.exec(input) != kWake) {
            control.cancel();
            break;
        }
    }
    worker.join();
    m_control = nullptr;
    if (control.cancelled())
        return std::nullopt;
    if (error)
        std::rethrow_exception(error);
    return store;
}

void BackgroundLoad::abandon()
{
    if (m_control)
        m_control->cancel();
}
