#include "updateserver/payload_signer.h"

#include "core/sha256.h"
#include "protocol/signed_statements.h"

namespace upd::server {

std::string PayloadSigner::sign(const std::string& product, const std::string& databaseVersion,
                                const std::vector<SharedBytes>& parts) const {
    std::vector<const std::string*> key;
    for (const SharedBytes& part : parts)
        key.push_back(part.get());
    std::string digest;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = digests_.find(key); found != digests_.end())
            digest = found->second;
    }
    if (digest.empty()) {
        // Computed outside the lock: another loop may compute the same meanwhile, which is
        // harmless, rather than wait for a large payload's digest.
        Sha256 hash;
        for (const SharedBytes& part : parts)
            hash.add(QByteArrayView(part->data(), qsizetype(part->size())));
        digest = hash.finish().toHex().toStdString();
        std::lock_guard lock(mutex_);
        digests_.emplace(std::move(key), digest);
    }
    return signDigest(product, databaseVersion, digest);
}

std::string PayloadSigner::sign(const std::string& product, const std::string& databaseVersion,
                                std::string_view body) const {
    return signDigest(
        product, databaseVersion,
        Sha256::of(QByteArrayView(body.data(), qsizetype(body.size()))).toHex().toStdString());
}

std::string PayloadSigner::signDigest(const std::string& product,
                                      const std::string& databaseVersion,
                                      const std::string& digest) const {
    const auto statement = statementOf(SignedPayload{QString::fromStdString(product),
                                                     QString::fromStdString(databaseVersion),
                                                     QString::fromStdString(digest)});
    if (!statement)
        return {};
    return key_.sign(std::string_view(statement->constData(), std::size_t(statement->size())));
}

} // namespace upd::server
