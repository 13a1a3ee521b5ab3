#pragma once

#include "wizard/wizard_steps.h"

namespace upd {

// The wizard's download states: each runs its engine step through `steps`, writes the outcome
// into the visible message area and moves the wizard on.

// State 2: every file of every program update, then on to the installation (state 3); back to the
// search on failure.
void DownloadProgramUpdates(WizardWindow& window, WizardSteps& steps);

// State 4: the new updater beside the running one, then on to its installation (state 5).
void DownloadNewUpdater(WizardWindow& window, WizardSteps& steps);

// State 6: the data payload into the ResponseDocument, then on to its installation (state 7).
void DownloadDataUpdates(WizardWindow& window, WizardSteps& steps);

} // namespace upd
