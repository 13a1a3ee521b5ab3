#pragma once

#include <cstdint>

namespace upd {

// The host program's main window as the host names it in its parameter string (`Hwnd`). On
// Windows a window handle; elsewhere the host's process id, whose end is the window's end.

// Asks the host's main window to close and returns at once (WM_CLOSE; SIGTERM elsewhere). A
// handle that names no window (or, elsewhere, no process other than ours) is left alone.
void requestHostClose(std::int32_t hwnd);

// True while the handle names an existing window (elsewhere: a running process other than ours;
// a process that has ended but was not yet reaped counts as ended).
bool hostWindowExists(std::int32_t hwnd);

} // namespace upd
