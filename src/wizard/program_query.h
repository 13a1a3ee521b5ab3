#pragma once

#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

namespace upd {

// Asks "update.aspx" which newer program versions exist for `version`, lists them in `resultBox`
// and leaves the answer in the window's ResponseDocument. True when the answer was understood
// (with or without updates); false on an error answer or any failure, with number and text.
bool QueryProgramUpdates(WizardWindow& window, TransferControl& Inet1, const QString& version,
                         QString& errText, TextArea& resultBox, std::int32_t& errNumber,
                         bool& updatesFound);

} // namespace upd
