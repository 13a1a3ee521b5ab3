#pragma once

#include "platform/settings_store.h"
#include "wizard/wizard_steps.h"

namespace upd {

// State 3: installs the program updates of the update directory (the host's "Updates" online, the
// directory the user names offline) after the terms of use were accepted: closes the host, runs
// each fitting setup program in the manifest's order, logs each installation, offers to delete
// the update files and ends the program. `store` holds the setups' completion flag.
void InstallProgramUpdates(WizardWindow& window, const SettingsStore& store);

} // namespace upd
