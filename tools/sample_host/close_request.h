#pragma once

#include <QtGlobal>

class QWidget;

namespace sample_host {

// The updater's request that the host end: a window close message on Windows, which reaches the
// window's close event by itself; SIGTERM elsewhere, turned into a close of the window here.
void closeWindowOnRequest(QWidget& window);

// What the updater names as the host's window in `Hwnd`: the window handle on Windows, the
// process id elsewhere.
qint64 hostHandle(const QWidget& window);

} // namespace sample_host
