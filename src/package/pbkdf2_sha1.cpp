// The SHA-1 functions with a plain context are deprecated in OpenSSL 3 in favour of the EVP
// interface, whose contexts cannot be copied without allocating.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "package/pbkdf2_sha1.h"

#include <algorithm>
#include <cstring>
#include <openssl/crypto.h>
#include <openssl/sha.h>

namespace upd {
namespace {

constexpr std::size_t ShaBlock = 64;

// HMAC-SHA1 with the key's inner and outer pads already hashed.
class KeyedSha1 {
public:
    explicit KeyedSha1(const QByteArray& key) {
        unsigned char block[ShaBlock] = {};
        if (std::size_t(key.size()) > ShaBlock)
            SHA1(reinterpret_cast<const unsigned char*>(key.constData()), std::size_t(key.size()),
                 block);
        else
            std::memcpy(block, key.constData(), std::size_t(key.size()));
        unsigned char pad[ShaBlock];
        for (std::size_t i = 0; i < ShaBlock; ++i)
            pad[i] = block[i] ^ 0x36;
        SHA1_Init(&inner_);
        SHA1_Update(&inner_, pad, ShaBlock);
        for (std::size_t i = 0; i < ShaBlock; ++i)
            pad[i] = block[i] ^ 0x5c;
        SHA1_Init(&outer_);
        SHA1_Update(&outer_, pad, ShaBlock);
        OPENSSL_cleanse(block, sizeof block);
        OPENSSL_cleanse(pad, sizeof pad);
    }
    ~KeyedSha1() {
        OPENSSL_cleanse(&inner_, sizeof inner_);
        OPENSSL_cleanse(&outer_, sizeof outer_);
    }

    // HMAC of `first` followed by `second`.
    void mac(const unsigned char* first, std::size_t firstLength, const unsigned char* second,
             std::size_t secondLength, unsigned char* mac) const {
        SHA_CTX context = inner_;
        SHA1_Update(&context, first, firstLength);
        SHA1_Update(&context, second, secondLength);
        SHA1_Final(mac, &context);
        context = outer_;
        SHA1_Update(&context, mac, SHA_DIGEST_LENGTH);
        SHA1_Final(mac, &context);
        OPENSSL_cleanse(&context, sizeof context);
    }

    // HMAC of a 20-byte message (the previous iteration's result), in place. Both hashes then
    // take exactly one more block after their pad, so that block is padded here and compressed
    // directly.
    void macOfDigest(unsigned char* digest) const {
        unsigned char block[ShaBlock];
        padDigestBlock(block, digest);
        SHA_CTX context = inner_;
        SHA1_Transform(&context, block);
        writeDigest(context, block);
        context = outer_;
        SHA1_Transform(&context, block);
        writeDigest(context, digest);
        OPENSSL_cleanse(&context, sizeof context);
        OPENSSL_cleanse(block, sizeof block);
    }

private:
    // The block after a 64-byte pad: 20 message bytes, the end marker, the bit length 84 * 8.
    static void padDigestBlock(unsigned char* block, const unsigned char* digest) {
        std::memcpy(block, digest, SHA_DIGEST_LENGTH);
        std::memset(block + SHA_DIGEST_LENGTH, 0, ShaBlock - SHA_DIGEST_LENGTH);
        block[SHA_DIGEST_LENGTH] = 0x80;
        constexpr unsigned bits = (ShaBlock + SHA_DIGEST_LENGTH) * 8;
        block[ShaBlock - 2] = static_cast<unsigned char>(bits >> 8);
        block[ShaBlock - 1] = static_cast<unsigned char>(bits);
    }

    // The state words, big-endian: the digest, and the start of the next padded block.
    static void writeDigest(const SHA_CTX& context, unsigned char* out) {
        const SHA_LONG words[5] = {context.h0, context.h1, context.h2, context.h3, context.h4};
        for (std::size_t i = 0; i < 5; ++i) {
            out[4 * i] = static_cast<unsigned char>(words[i] >> 24);
            out[4 * i + 1] = static_cast<unsigned char>(words[i] >> 16);
            out[4 * i + 2] = static_cast<unsigned char>(words[i] >> 8);
            out[4 * i + 3] = static_cast<unsigned char>(words[i]);
        }
    }

    SHA_CTX inner_;
    SHA_CTX outer_;
};

} // namespace

void pbkdf2HmacSha1(const QByteArray& password, const unsigned char* salt, std::size_t saltLength,
                    int iterations, unsigned char* out, std::size_t outLength) {
    const KeyedSha1 hmac(password);
    for (std::uint32_t block = 1; outLength > 0; ++block) {
        const unsigned char index[4] = {
            static_cast<unsigned char>(block >> 24), static_cast<unsigned char>(block >> 16),
            static_cast<unsigned char>(block >> 8), static_cast<unsigned char>(block)};
        unsigned char u[SHA_DIGEST_LENGTH];
        unsigned char t[SHA_DIGEST_LENGTH];
        hmac.mac(salt, saltLength, index, sizeof index, u);
        std::memcpy(t, u, sizeof t);
        for (int i = 1; i < iterations; ++i) {
            hmac.macOfDigest(u);
            for (std::size_t k = 0; k < sizeof t; ++k)
                t[k] ^= u[k];
        }
        const std::size_t n = std::min(outLength, sizeof t);
        std::memcpy(out, t, n);
        out += n;
        outLength -= n;
        OPENSSL_cleanse(u, sizeof u);
        OPENSSL_cleanse(t, sizeof t);
    }
}

} // namespace upd
