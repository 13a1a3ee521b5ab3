#pragma once

#include <QIcon>

namespace upd {

// The icon of the notification pop-up and of its tray icon. A drawn stand-in until the program
// has an icon of its own; this is the one place to swap it.
QIcon notifyIcon();

} // namespace upd
