#include "platform/QtEventPump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tq {

bool QtEventPump::WaitForInput(int32_t timeoutMs) {
    if (timeoutMs == 0) {
        return false;
    }
    // Qt cannot wait without dispatching: block in the event loop until something is
    // dispatched, with a precise timer to end the wait at the time-out. Whatever woke
    // the loop has then been handled already.
    bool timedOut = false;
    QTimer timer;
    if (timeoutMs > 0) {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&timedOut] { timedOut = true; });
        timer.start(timeoutMs);
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    return !timedOut;
}

void QtEventPump::ProcessPendingEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace tq
