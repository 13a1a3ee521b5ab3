#pragma once

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

// The maker's Ed25519 key pair the server signs with. The key file holds the 32-byte seed in
// base64 on one line; lines starting with "#" are comments. Only the public key leaves the server.
namespace upd::server {

class SigningKeyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SigningKey {
public:
    // A new key pair from the system's random source.
    static SigningKey generate();
    // Reads a key file; throws SigningKeyError (a German text naming the file) when it cannot.
    static SigningKey readFile(const std::filesystem::path& file);

    SigningKey(const SigningKey& other);
    SigningKey& operator=(const SigningKey&) = delete;
    ~SigningKey();

    // Writes the key file, readable by its owner only; never over an existing file.
    void writeFile(const std::filesystem::path& file, const std::string& comment) const;

    // The public key in base64: what goes into the updater's setting.
    std::string publicKey() const;
    // The signature of `statement` in base64.
    std::string sign(std::string_view statement) const;

private:
    SigningKey() = default;
    std::array<unsigned char, 32> seed_{};
    std::array<unsigned char, 64> secret_{};
    std::array<unsigned char, 32> public_{};
};

} // namespace upd::server
