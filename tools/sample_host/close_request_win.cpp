#include "close_request.h"

#include <QWidget>

namespace sample_host {

void closeWindowOnRequest(QWidget&) {}

qint64 hostHandle(const QWidget& window) {
    return static_cast<qint64>(window.winId());
}

} // namespace sample_host
