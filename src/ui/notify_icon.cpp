#include "ui/notify_icon.h"

#include "ui/program_windows.h"

namespace upd {

QIcon notifyIcon() {
    return programIcon();
}

} // namespace upd
