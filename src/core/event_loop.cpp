#include "core/event_loop.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace upd {

void QtEventLoop::yield() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::waitForEvents(int milliseconds) {
    // The timer is the event that ends the wait when nothing else arrives.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(milliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtEventLoop::sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace upd
