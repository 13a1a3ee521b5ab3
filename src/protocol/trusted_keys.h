#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace upd {

// The maker's public keys that this installation trusts (the deployment setting). There may be
// several, so that the maker can rotate keys: a signature by any of them counts.
class TrustedKeys {
public:
    // Items separated by blanks, commas or semicolons, each the base64 form of a 32-byte Ed25519
    // public key. A setting that holds anything at all enforces the checks, even when none of its
    // items is a key: a mistyped setting must never switch the checks off.
    static TrustedKeys fromSetting(const QString& setting);

    // False only for an empty setting: then nothing is checked, as before signed updates.
    bool enforced() const { return enforced_; }

    // True when `signature` (base64 of 64 bytes) is a signature of `statement` by a trusted key.
    bool signedStatement(const QByteArray& statement, const QString& signature) const;

private:
    bool enforced_ = false;
    std::vector<QByteArray> keys_;
};

} // namespace upd
