#pragma once

#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

namespace upd {

// Asks "dataupdate.aspx": in the search (mode 0) whether newer data exist, in the download
// (mode 2) for the data themselves, which stay in the window's ResponseDocument. True when the
// answer was understood; `found` tells whether a data update exists or came.
bool QueryDataUpdates(WizardWindow& window, TransferControl& Inet1, int queryMode,
                      const QString& version, QString& errText, TextArea& resultBox,
                      std::int32_t& errNumber, bool& found);

} // namespace upd
