#include "install/entry_verification.h"

#include "package/archive_comparison.h"
#include "package/file_authenticity.h"
#include "protocol/archive_password.h"

#include <QDir>

namespace upd::installation {
namespace {

// The archive's password as the download used it; nullopt when it cannot be decoded.
std::optional<QString> archivePassword(const UpdateEntry& entry,
                                       const DeploymentSettings& deployment) {
    if (entry.pw.isEmpty())
        return QString();
    std::int16_t password = 0;
    std::int32_t errorNumber = 0;
    if (!DecodeArchivePassword(deployment, entry.pw, password, errorNumber))
        return std::nullopt;
    return QString::number(password);
}

} // namespace

std::optional<EntryObjection> verifyEntryBeforeSetup(const UpdateDirectory& directory,
                                                     const UpdateEntry& entry,
                                                     const TrustedKeys& keys,
                                                     const QString& product,
                                                     const DeploymentSettings& deployment) {
    if (!keys.enforced())
        return std::nullopt;
    if (auto why = checkEntrySignature(keys, product, entry))
        return EntryObjection{*why, entry.files.value(0)};

    // The signature covers every file's checksum: each one is there.
    const QString entryDirectory = directory.entryDirectory(entry);
    bool setupChecked = false;
    for (const QString& name : entry.files) {
        const QString path = entryDirectory + QDir::separator() + name;
        if (auto why = checkFileContent(path, *checksumOf(entry, name)))
            return EntryObjection{*why, name};
        setupChecked = setupChecked || name == entry.startFile;
        if (name != entry.filesToExtract)
            continue;
        const std::optional<QString> password = archivePassword(entry, deployment);
        const ArchiveComparison unpacked =
            password ? compareWithArchive(path, entryDirectory, *password)
                     : ArchiveComparison{ArchiveComparison::Kind::Unreadable, {}, {}};
        if (unpacked.kind == ArchiveComparison::Kind::Unreadable)
            return EntryObjection{NotGenuine::FileChanged, name};
        if (unpacked.kind == ArchiveComparison::Kind::Differs)
            return EntryObjection{NotGenuine::FileChanged, unpacked.entry};
        setupChecked = setupChecked || unpacked.files.contains(entry.startFile);
    }
    if (!setupChecked)
        return EntryObjection{NotGenuine::Unsigned, entry.startFile};
    return std::nullopt;
}

} // namespace upd::installation
