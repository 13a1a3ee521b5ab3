#include "core/sha256.h"

#include "core/sodium_library.h"

#include <QFile>
#include <QFileInfo>
#include <sodium.h>
#include <vector>

namespace upd {

struct Sha256::State {
    crypto_hash_sha256_state hash;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    ensureSodium();
    crypto_hash_sha256_init(&state_->hash);
}

Sha256::~Sha256() = default;

void Sha256::add(QByteArrayView bytes) {
    crypto_hash_sha256_update(&state_->hash, reinterpret_cast<const unsigned char*>(bytes.data()),
                              static_cast<unsigned long long>(bytes.size()));
}

QByteArray Sha256::finish() {
    QByteArray digest(crypto_hash_sha256_BYTES, '\0');
    crypto_hash_sha256_final(&state_->hash, reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

QByteArray Sha256::of(QByteArrayView bytes) {
    Sha256 hash;
    hash.add(bytes);
    return hash.finish();
}

std::optional<FileDigest> digestOfFile(const QString& path) {
    // A link could show something else at the next look: only the file itself counts.
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Sha256 hash;
    FileDigest digest;
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const qint64 got = file.read(buffer.data(), qint64(buffer.size()));
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.add(QByteArrayView(buffer.data(), got));
        digest.size += got;
    }
    digest.sha256 = QString::fromLatin1(hash.finish().toHex());
    return digest;
}

} // namespace upd
