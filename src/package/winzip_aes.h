#pragma once

#include <QByteArray>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace upd {

// Decryption of one WinZip-AES encrypted zip entry (AE-1 and AE-2): keys derived from the password
// and the entry's salt with PBKDF2-HMAC-SHA1, AES in counter mode with a little-endian counter
// starting at 1, and HMAC-SHA1 over the encrypted data whose first 10 bytes close the entry.
// The raw entry data is: salt, 2-byte password verification value, encrypted data, 10-byte code.
class WinZipAesDecryptor {
public:
    static constexpr std::size_t VerifierLength = 2;
    static constexpr std::size_t AuthenticationCodeLength = 10;

    // `strength` is the one of the entry's AES extra field: 1, 2 or 3 for 128-, 192- or 256-bit
    // keys; 0 for any other value.
    static std::size_t saltLength(int strength);

    ~WinZipAesDecryptor();
    WinZipAesDecryptor(const WinZipAesDecryptor&) = delete;
    WinZipAesDecryptor& operator=(const WinZipAesDecryptor&) = delete;

    // Derives the keys. Null when the password's verification value differs from the entry's,
    // which is how a wrong password shows (a wrong one passes this test once in 65536 and is then
    // caught by the authentication code).
    static std::unique_ptr<WinZipAesDecryptor> create(int strength, const QByteArray& password,
                                                      const unsigned char* salt,
                                                      const unsigned char* verifier);

    // Decrypts in place; the authentication code covers the encrypted bytes. False when the
    // cryptographic library fails.
    bool decrypt(unsigned char* data, std::size_t size);

    // True when the code at the end of the entry matches everything decrypted so far.
    bool authenticate(const unsigned char* code);

private:
    WinZipAesDecryptor() = default;
    bool refillKeystream();

    struct Contexts;
    std::unique_ptr<Contexts> contexts_;
    std::uint64_t counter_ = 0;
    // Keystream of a batch of counter blocks, encrypted in one call.
    std::array<unsigned char, 16 * 1024> keystream_{};
    std::size_t keystreamUsed_ = keystream_.size();
};

} // namespace upd
