#pragma once

#include "wizard/wizard_steps.h"

namespace upd {

// What a step that this build does not contain yet does: it says so in the visible message area
// and leaves the wizard where it is; nothing pretends to have succeeded.
void tellStepUnavailable(WizardWindow& window);

} // namespace upd
