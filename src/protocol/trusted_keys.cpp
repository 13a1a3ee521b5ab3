#include "protocol/trusted_keys.h"

#include "core/ed25519.h"

#include <QRegularExpression>
#include <optional>

namespace upd {
namespace {

// Base64 of 64 bytes takes 88 characters; anything much longer is no signature.
constexpr qsizetype MaxSignatureText = 128;

std::optional<QByteArray> decodeBase64(const QString& text, qsizetype expectedBytes) {
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != expectedBytes)
        return std::nullopt;
    return decoded.decoded;
}

} // namespace

TrustedKeys TrustedKeys::fromSetting(const QString& setting) {
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    TrustedKeys keys;
    const QStringList items = setting.split(separators, Qt::SkipEmptyParts);
    keys.enforced_ = !items.isEmpty();
    for (const QString& item : items) {
        if (const auto key = decodeBase64(item, ed25519::PublicKeyBytes))
            keys.keys_.push_back(*key);
    }
    return keys;
}

bool TrustedKeys::signedStatement(const QByteArray& statement, const QString& signature) const {
    if (signature.size() > MaxSignatureText)
        return false;
    const auto bytes = decodeBase64(signature, ed25519::SignatureBytes);
    if (!bytes)
        return false;
    for (const QByteArray& key : keys_) {
        if (ed25519::verify(*bytes, statement, key))
            return true;
    }
    return false;
}

} // namespace upd
