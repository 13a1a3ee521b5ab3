#pragma once

#include "platform/settings_store.h"
#include "wizard/wizard_steps.h"

#include <QString>

namespace upd {

// The running updater's executable: the session's, or the one the platform names.
QString ownUpdaterFile(const Session& session);

// State 5: parks the host's parameter string, hands the downloaded updater to the replacement
// script, counts down and ends the program; the script starts the new updater. A missing file,
// or a new updater that is not the one the maker signed (it is deleted), is named in the visible
// message area and the wizard stays in state 5. Any other failure ends the
// step without a message, with Start disabled, and leaves neither a parked string nor a script.
void InstallNewUpdater(WizardWindow& window, SettingsStore& store);

} // namespace upd
