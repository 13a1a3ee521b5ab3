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

// What the size query learnt about a file.
struct RemoteSize {
    enum class Kind {
        Unknown,         // none announced, an error answer, or the query failed
        Announced,       // `bytes` (which may be below 1: no size)
        Unrepresentable, // a size beyond what a transfer can count
    };
    Kind kind = Kind::Unknown;
    std::int32_t bytes = 0;
};

// Fetches single files over HTTP, HTTPS or FTP into local files and reports the progress to an
// observer.
class SingleFileTransfer {
public:
    SingleFileTransfer(EventLoop& loop, TransferObserver& observer, TransferControl& Inet1)
        : loop_(loop), observer_(observer), Inet1_(Inet1) {}

    // How long a transfer may wait for the connection, and the period in which it must receive
    // at least a kibibyte, in seconds.
    void setReadTimeout(int seconds) { readTimeout_ = seconds; }

    // Downloads URL into LocalFile (whose directory must exist), replacing an older copy of
    // exactly that file. Complete only when the transfer ended normally with every byte the
    // server announced; a file whose announced size cannot be represented fails. Errors while
    // writing the file or reporting progress are raised.
    DownloadOutcome DownloadAFile(const QString& LocalFile, const QString& URL, bool ShowProgress);

    // The size a successful answer of the server announces for URL; 0 when it announces none,
    // the answer is an error, the size cannot be represented or anything fails.
    std::int32_t GetRemoteFileSize(const QString& URL);
    // The same, telling an unrepresentable size apart.
    RemoteSize queryRemoteSize(const QString& URL);

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
