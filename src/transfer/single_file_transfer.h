#pragma once

#include "core/event_loop.h"
#include "transfer/transfer_control.h"
#include "transfer/transfer_observer.h"

#include <QString>
#include <cstdint>

namespace upd {

// How a single-file download ended.
enum class DownloadOutcome {
    Complete,           // every byte the server announced is in the file
    Failed,             // the address, the connection or the transfer failed
    Cancelled,          // the observer asked to cancel; the partial file is gone
    TargetNotRemovable, // an older copy of the target could not be deleted; nothing was fetched
};

// Fetches single files over HTTP, HTTPS or FTP into local files and reports the progress to an
// observer.
class SingleFileTransfer {
public:
    SingleFileTransfer(EventLoop& loop, TransferObserver& observer, TransferControl& Inet1)
        : loop_(loop), observer_(observer), Inet1_(Inet1) {}

    // How long a transfer may wait for the connection or for further data, in seconds.
    void setReadTimeout(int seconds) { readTimeout_ = seconds; }

    // Downloads URL into LocalFile (whose directory must exist), replacing an older copy of
    // exactly that file. Complete only when the transfer ended normally with every byte the
    // server announced. Errors while writing the file or reporting progress are raised.
    DownloadOutcome DownloadAFile(const QString& LocalFile, const QString& URL, bool ShowProgress);

    // The size the server announces for URL; 0 when it announces none or anything fails.
    std::int32_t GetRemoteFileSize(const QString& URL);

private:
    DownloadOutcome failureEnd();
    DownloadOutcome cancelEnd(const QString& LocalFile);

    EventLoop& loop_;
    TransferObserver& observer_;
    TransferControl& Inet1_;
    int readTimeout_ = 60;
};

// True for the schemes a single file may come over (http, https, ftp; in any case).
bool isTransferScheme(const QString& url);

} // namespace upd
