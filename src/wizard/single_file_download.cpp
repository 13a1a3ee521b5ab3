#include "wizard/single_file_download.h"

#include "transfer/single_file_transfer.h"
#include "wizard/file_messages.h"

namespace upd {

bool DownloadAFile(WizardWindow& window, TransferControl& Inet1, const QString& localPath,
                   const QString& url) {
    SingleFileTransfer transfer(window.eventLoop(), window.transferDisplay(), Inet1);
    switch (transfer.DownloadAFile(localPath, url, true)) {
    case DownloadOutcome::Complete:
        return true;
    case DownloadOutcome::TargetNotRemovable:
        reportUndeletableFile(window.prompts(), localPath);
        return false;
    case DownloadOutcome::Failed:
    case DownloadOutcome::Cancelled:
        return false;
    }
    return false;
}

} // namespace upd
