#pragma once

#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

namespace upd {

// What the Start button does in the search state, and what the background check runs invisibly:
// checks the version box, asks for program updates and, only when there are none, for data
// updates, shows the outcome and moves the wizard on. Enables lblStart on every way out.
void SearchForUpdates(WizardWindow& window, TransferControl& Inet1);

// Message of the error display: "Fehler", ": number" unless 0, CR LF and text unless empty.
QString searchErrorText(std::int32_t errNumber, const QString& errText);

} // namespace upd
