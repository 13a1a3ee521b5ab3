#pragma once

#include <QIcon>

namespace upd {

// The icon of the notification pop-up and of its tray icon: the program's own.
QIcon notifyIcon();

} // namespace upd
