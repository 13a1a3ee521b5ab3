#pragma once

#include "wizard/wizard_steps.h"

namespace upd {

// The data installation of the wizard's state 7: closes the host once per run, writes the
// downloaded payload of the ResponseDocument into the host's database with the driver of its
// product, logs each set in txtInstallation and the record progress in the installation tab's
// message area. Success ends the program as "Beenden" does; a failure says why and lets the user
// try again.
void InstallDataUpdates(WizardWindow& window);

} // namespace upd
