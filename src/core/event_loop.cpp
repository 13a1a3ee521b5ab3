#include "core/event_loop.h"

#include <QCoreApplication>
#include <QThread>

namespace upd {

void QtEventLoop::yield() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace upd
