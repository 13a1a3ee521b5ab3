#pragma once

#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

#include <QString>
#include <cstdint>

namespace upd {

// The program-update download of the wizard's state 2: every file of every update of the answer in
// the ResponseDocument into the host's update directory, with " Download der Datei: " lines in the
// message area and a log line per update in txtDownload. False on failure, with the error number
// (800400002, or the password decoder's) and text; a failed password decoding leaves the text.
bool DownloadUpdateFiles(WizardWindow& window, TransferControl& Inet1, std::int32_t& ErrorNumber,
                         QString& ErrorText);

} // namespace upd
