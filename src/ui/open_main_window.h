#pragma once

#include "wizard/wizard_steps.h"

namespace upd {

class frmStart;

// Creates the main window, runs its initialisation and shows it. Returns the window, which
// releases itself when it is unloaded, or nullptr when the initialisation ended the program.
frmStart* OpenMainWindow(Session& session, Prompts& prompts, EventLoop& loop, WizardSteps& steps);

} // namespace upd
