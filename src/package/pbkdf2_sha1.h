#pragma once

#include <QByteArray>
#include <cstddef>

namespace upd {

// PBKDF2 with HMAC-SHA1 (RFC 8018), the key derivation of WinZip-AES. Every encrypted entry
// derives its keys with 1000 iterations from its own salt; OpenSSL 3's generic derivation
// allocates in every iteration and took longer than unpacking the data, so the keyed hash states
// are computed once here and copied.
void pbkdf2HmacSha1(const QByteArray& password, const unsigned char* salt, std::size_t saltLength,
                    int iterations, unsigned char* out, std::size_t outLength);

} // namespace upd
