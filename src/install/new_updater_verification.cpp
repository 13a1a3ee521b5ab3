#include "install/new_updater_verification.h"

#include "package/file_authenticity.h"

namespace upd {

std::optional<NotGenuine> verifyNewUpdater(const TrustedKeys& keys, const QString& version,
                                           const QString& file, const UpdaterSeal& seal,
                                           const QString& newFile) {
    if (!keys.enforced())
        return std::nullopt;
    if (auto why = checkUpdaterSignature(keys, version, file, seal))
        return why;
    // The signature holds, so the size is a number.
    return checkFileContent(newFile,
                            FileChecksum{file, seal.size.trimmed().toLongLong(), seal.sha256});
}

} // namespace upd
