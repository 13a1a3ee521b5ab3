#include "core/ed25519.h"

#include "core/sodium_library.h"

#include <sodium.h>

namespace upd::ed25519 {

static_assert(PublicKeyBytes == crypto_sign_PUBLICKEYBYTES);
static_assert(SignatureBytes == crypto_sign_BYTES);

bool verify(QByteArrayView signature, QByteArrayView message, QByteArrayView publicKey) {
    if (signature.size() != SignatureBytes || publicKey.size() != PublicKeyBytes)
        return false;
    ensureSodium();
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                       reinterpret_cast<const unsigned char*>(message.data()),
                                       static_cast<unsigned long long>(message.size()),
                                       reinterpret_cast<const unsigned char*>(publicKey.data())) ==
           0;
}

} // namespace upd::ed25519
