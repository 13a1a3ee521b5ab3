#include "protocol/authenticity.h"

#include "core/sha256.h"

namespace upd {
namespace {

std::optional<NotGenuine> verify(const TrustedKeys& keys,
                                 const std::optional<QByteArray>& statement,
                                 const QString& signature) {
    if (signature.trimmed().isEmpty())
        return NotGenuine::SignatureMissing;
    if (!statement || !keys.signedStatement(*statement, signature))
        return NotGenuine::SignatureWrong;
    return std::nullopt;
}

} // namespace

std::optional<NotGenuine> checkEntrySignature(const TrustedKeys& keys, const QString& product,
                                              const UpdateEntry& entry) {
    if (!keys.enforced())
        return std::nullopt;
    SignedUpdate signedUpdate{product,
                              entry.version,
                              entry.min,
                              entry.max,
                              entry.startFile,
                              entry.noStartupArgs,
                              entry.newDlls,
                              entry.newMasterVersion,
                              entry.filesToExtract,
                              {}};
    for (const QString& file : entry.files) {
        const FileChecksum* checksum = checksumOf(entry, file);
        if (!checksum)
            return NotGenuine::SignatureMissing;
        signedUpdate.files.push_back(*checksum);
    }
    return verify(keys, statementOf(signedUpdate), entry.signature);
}

std::optional<NotGenuine> checkUpdaterSignature(const TrustedKeys& keys, const QString& version,
                                                const QString& file, const UpdaterSeal& seal) {
    if (!keys.enforced())
        return std::nullopt;
    bool number = false;
    const qlonglong size = seal.size.trimmed().toLongLong(&number);
    return verify(keys, statementOf(SignedUpdater{version, file, number ? size : -1, seal.sha256}),
                  seal.signature);
}

std::optional<NotGenuine> checkPayloadSignature(const TrustedKeys& keys, const QString& product,
                                                const QString& databaseVersion,
                                                const QByteArray& body, const QString& signature) {
    if (!keys.enforced())
        return std::nullopt;
    const QString digest = QString::fromLatin1(Sha256::of(body).toHex());
    return verify(keys, statementOf(SignedPayload{product, databaseVersion, digest}), signature);
}

} // namespace upd
