#include "package/winzip_aes.h"

#include "package/pbkdf2_sha1.h"

#include <algorithm>
#include <cstring>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace upd {
namespace {

constexpr int KeyDerivationIterations = 1000;
constexpr std::size_t BlockSize = 16;

struct MacDeleter {
    void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
};

} // namespace

struct WinZipAesDecryptor::Contexts {
    ~Contexts() {
        EVP_CIPHER_CTX_free(cipher);
        EVP_MAC_CTX_free(mac);
    }
    EVP_CIPHER_CTX* cipher = nullptr;
    EVP_MAC_CTX* mac = nullptr;
};

std::size_t WinZipAesDecryptor::saltLength(int strength) {
    switch (strength) {
    case 1:
        return 8;
    case 2:
        return 12;
    case 3:
        return 16;
    default:
        return 0;
    }
}

WinZipAesDecryptor::~WinZipAesDecryptor() = default;

std::unique_ptr<WinZipAesDecryptor> WinZipAesDecryptor::create(int strength,
                                                               const QByteArray& password,
                                                               const unsigned char* salt,
                                                               const unsigned char* verifier) {
    const std::size_t saltBytes = saltLength(strength);
    if (saltBytes == 0)
        return nullptr;
    const std::size_t keyBytes = saltBytes * 2;
    // Encryption key, authentication key, verification value.
    unsigned char derived[2 * 32 + VerifierLength];
    const std::size_t derivedBytes = 2 * keyBytes + VerifierLength;
    pbkdf2HmacSha1(password, salt, saltBytes, KeyDerivationIterations, derived, derivedBytes);
    if (CRYPTO_memcmp(derived + 2 * keyBytes, verifier, VerifierLength) != 0)
        return nullptr;

    std::unique_ptr<WinZipAesDecryptor> decryptor(new WinZipAesDecryptor);
    decryptor->contexts_ = std::make_unique<Contexts>();
    Contexts& c = *decryptor->contexts_;
    const EVP_CIPHER* cipher = keyBytes == 16   ? EVP_aes_128_ecb()
                               : keyBytes == 24 ? EVP_aes_192_ecb()
                                                : EVP_aes_256_ecb();
    c.cipher = EVP_CIPHER_CTX_new();
    std::unique_ptr<EVP_MAC, MacDeleter> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    if (!c.cipher || !hmac)
        return nullptr;
    c.mac = EVP_MAC_CTX_new(hmac.get());
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_END};
    const bool ready = c.mac &&
                       EVP_EncryptInit_ex(c.cipher, cipher, nullptr, derived, nullptr) == 1 &&
                       EVP_CIPHER_CTX_set_padding(c.cipher, 0) == 1 &&
                       EVP_MAC_init(c.mac, derived + keyBytes, keyBytes, params) == 1;
    OPENSSL_cleanse(derived, sizeof derived);
    return ready ? std::move(decryptor) : nullptr;
}

bool WinZipAesDecryptor::refillKeystream() {
    // Counter blocks: a 64-bit little-endian block number from 1 in the first eight bytes, zeros
    // after it (the upper half would only count beyond 2^64 blocks).
    for (std::size_t offset = 0; offset < keystream_.size(); offset += BlockSize) {
        ++counter_;
        for (std::size_t i = 0; i < 8; ++i)
            keystream_[offset + i] = static_cast<unsigned char>(counter_ >> (8 * i));
        std::memset(&keystream_[offset + 8], 0, 8);
    }
    int written = 0;
    if (EVP_EncryptUpdate(contexts_->cipher, keystream_.data(), &written, keystream_.data(),
                          int(keystream_.size())) != 1 ||
        std::size_t(written) != keystream_.size())
        return false;
    keystreamUsed_ = 0;
    return true;
}

bool WinZipAesDecryptor::decrypt(unsigned char* data, std::size_t size) {
    if (EVP_MAC_update(contexts_->mac, data, size) != 1)
        return false;
    while (size > 0) {
        if (keystreamUsed_ == keystream_.size() && !refillKeystream())
            return false;
        const std::size_t n = std::min(size, keystream_.size() - keystreamUsed_);
        const unsigned char* key = keystream_.data() + keystreamUsed_;
        for (std::size_t i = 0; i < n; ++i)
            data[i] ^= key[i];
        keystreamUsed_ += n;
        data += n;
        size -= n;
    }
    return true;
}

bool WinZipAesDecryptor::authenticate(const unsigned char* code) {
    unsigned char full[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (EVP_MAC_final(contexts_->mac, full, &length, sizeof full) != 1 ||
        length < AuthenticationCodeLength)
        return false;
    return CRYPTO_memcmp(full, code, AuthenticationCodeLength) == 0;
}

} // namespace upd
