#pragma once

#include <QByteArrayView>

// Ed25519 signatures, as the maker signs updates.
namespace upd::ed25519 {

inline constexpr qsizetype PublicKeyBytes = 32;
inline constexpr qsizetype SignatureBytes = 64;

// True when `signature` is a valid signature of `message` by the holder of `publicKey`. Wrong
// sizes are simply not valid.
bool verify(QByteArrayView signature, QByteArrayView message, QByteArrayView publicKey);

} // namespace upd::ed25519
