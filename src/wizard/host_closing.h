#pragma once

#include "core/event_loop.h"
#include "core/prompts.h"
#include "core/session.h"
#include "wizard/window_roles.h"

namespace upd {

// Asks the host's main window (`Hwnd`) to close and waits for it: a first check right away, then,
// with the wait window shown, 3 seconds and up to ten checks half a second apart. True when the
// host is gone; false after the warning that the user should end the host by hand.
bool CloseHostApplication(const Session& session, Prompts& prompts, EventLoop& loop,
                          StepDialogs& dialogs);

} // namespace upd
