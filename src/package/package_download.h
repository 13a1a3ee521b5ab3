#pragma once

#include "core/deployment_settings.h"
#include "core/event_loop.h"
#include "core/runtime_error.h"
#include "core/xml_document.h"
#include "protocol/authenticity.h"
#include "protocol/trusted_keys.h"
#include "protocol/update_entry.h"
#include "transfer/single_file_transfer.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace upd {

// What the package download reports while it runs.
class PackageDownloadObserver {
public:
    virtual ~PackageDownloadObserver() = default;
    // A file of an update is about to be fetched.
    virtual void fileStarting(const QString& fileName) = 0;
    // Every file of the entry has arrived and its archive is unpacked.
    virtual void entryDownloaded(const UpdateEntry& entry) = 0;
};

// Where the package download fetches from and writes to.
struct PackageDownloadRequest {
    QString serverBaseUrl;         // without a trailing "/"
    QString updateDirectory;       // the host's "Updates" directory
    DeploymentSettings deployment; // the archive password's constants
    QString product;               // the host's product code, which entry signatures name
    TrustedKeys keys;              // enforced: nothing unsigned is fetched or unpacked
};

// How the package download ended.
struct PackageDownloadResult {
    enum class Kind {
        Complete,        // every file, "lizenz.txt", the manifest and "Hardware.xml" are written
        StepFailed,      // an entry value, a name, a transfer or an extraction failed
        UndeletableFile, // an older file of an entry could not be deleted
        PasswordFailed,  // the archive password could not be decoded
        RuntimeFailure,  // a run-time error: a missing element, a file error, ...
        NotGenuine,      // an entry or a file is not what the maker signed
    };
    Kind kind = Kind::Complete;
    QString file; // StepFailed, UndeletableFile, NotGenuine: the file concerned
    NotGenuine notGenuine = NotGenuine::SignatureMissing; // NotGenuine: why
    QString detail;                    // StepFailed: why, for the log of a developer
    std::int32_t passwordError = 0;    // PasswordFailed: the decoder's number
    std::optional<RuntimeError> error; // RuntimeFailure

    bool complete() const { return kind == Kind::Complete; }
};

// Fetches every file of every "update" entry of the program-update answer into a sub-directory of
// the update directory named after the entry's version, unpacks the entry's archive there (with the
// decoded password), then fetches the terms of use and writes the manifest and "Hardware.xml".
// Names from the server that could leave their directory are refused before anything is written.
// With enforced keys every entry's signature is checked before anything is fetched, and each file's
// size and digest once it has arrived, before it is unpacked: a file that differs is deleted.
// Files of entries fetched before a failure stay; the manifest is written only at the very end, so
// a failure keeps the previous one.
PackageDownloadResult downloadUpdatePackages(const PackageDownloadRequest& request,
                                             const XmlNode& answerRoot,
                                             SingleFileTransfer& transfer, EventLoop& loop,
                                             PackageDownloadObserver& observer);

} // namespace upd
