#pragma once

#include "core/event_loop.h"
#include "core/prompts.h"
#include "core/window.h"
#include "transfer/transfer_control.h"

#include <QString>
#include <cstdint>

namespace upd {

// Fetches single files over HTTP, HTTPS or FTP into local files, with the main window's progress
// display, speed timer and close request.
class SingleFileTransfer {
public:
    SingleFileTransfer(EventLoop& loop, TransferWindow& window, TransferControl& Inet1,
                       Prompts& prompts)
        : loop_(loop), window_(window), Inet1_(Inet1), prompts_(prompts) {}

    // How long a transfer may wait for the connection or for further data, in seconds.
    void setReadTimeout(int seconds) { readTimeout_ = seconds; }

    // Downloads URL into LocalFile (whose directory must exist), replacing an older copy. True
    // only when the transfer ended normally with every byte the server announced; false on
    // every failure and on cancellation by the close request (the partial file is then deleted).
    // Errors while writing the file or showing progress are raised to the caller.
    bool DownloadAFile(const QString& LocalFile, const QString& URL, bool ShowProgress);

    // The size the server announces for URL; 0 when it announces none or anything fails.
    std::int32_t GetRemoteFileSize(const QString& URL);

private:
    bool failureEnd();
    bool cancelEnd(const QString& LocalFile);

    EventLoop& loop_;
    TransferWindow& window_;
    TransferControl& Inet1_;
    Prompts& prompts_;
    int readTimeout_ = 60;
};

// True for the schemes a single file may come over (http, https, ftp; in any case).
bool isTransferScheme(const QString& url);

} // namespace upd
