#pragma once

#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

#include <QString>

namespace upd {

// One file with the window's progress display: true only when it arrived complete. An older copy
// of the target that cannot be deleted is named to the user. Errors while writing are raised.
bool DownloadAFile(WizardWindow& window, TransferControl& Inet1, const QString& localPath,
                   const QString& url);

} // namespace upd
