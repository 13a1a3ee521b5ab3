#include "updateserver/signing_key.h"

#include "core/sodium_library.h"

#include <QByteArray>
#include <fcntl.h>
#include <fstream>
#include <sodium.h>
#include <unistd.h>

namespace upd::server {
namespace {

static_assert(crypto_sign_SEEDBYTES == 32 && crypto_sign_SECRETKEYBYTES == 64 &&
              crypto_sign_PUBLICKEYBYTES == 32);

// A key file is one short line and a few comments.
constexpr std::streamsize MaxKeyFileBytes = 4096;

std::string base64(const unsigned char* bytes, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size))
        .toBase64()
        .toStdString();
}

} // namespace

SigningKey SigningKey::generate() {
    ensureSodium();
    SigningKey key;
    randombytes_buf(key.seed_.data(), key.seed_.size());
    crypto_sign_seed_keypair(key.public_.data(), key.secret_.data(), key.seed_.data());
    return key;
}

SigningKey SigningKey::readFile(const std::filesystem::path& file) {
    ensureSodium();
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throw SigningKeyError("Schlüsseldatei " + file.string() + " kann nicht gelesen werden");
    std::string text(MaxKeyFileBytes + 1, '\0');
    stream.read(text.data(), MaxKeyFileBytes + 1);
    text.resize(std::size_t(stream.gcount()));
    std::string seedText;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line.front() != '#')
            seedText += line;
    }
    const auto seed = QByteArray::fromBase64Encoding(QByteArray::fromStdString(seedText),
                                                     QByteArray::AbortOnBase64DecodingErrors);
    if (text.size() > std::size_t(MaxKeyFileBytes) || !seed ||
        seed.decoded.size() != qsizetype(crypto_sign_SEEDBYTES))
        throw SigningKeyError("Schlüsseldatei " + file.string() +
                              " enthält keinen Ed25519-Schlüssel");
    SigningKey key;
    std::copy(seed.decoded.begin(), seed.decoded.end(), key.seed_.begin());
    crypto_sign_seed_keypair(key.public_.data(), key.secret_.data(), key.seed_.data());
    return key;
}

SigningKey::SigningKey(const SigningKey& other)
    : seed_(other.seed_), secret_(other.secret_), public_(other.public_) {}

SigningKey::~SigningKey() {
    sodium_memzero(seed_.data(), seed_.size());
    sodium_memzero(secret_.data(), secret_.size());
}

void SigningKey::writeFile(const std::filesystem::path& file, const std::string& comment) const {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0)
        throw SigningKeyError("Schlüsseldatei " + file.string() +
                              " kann nicht angelegt werden (gibt es sie schon?)");
    const std::string text = "# " + comment + "\n" + base64(seed_.data(), seed_.size()) + "\n";
    const bool written = ::write(descriptor, text.data(), text.size()) == ssize_t(text.size());
    if (::close(descriptor) != 0 || !written)
        throw SigningKeyError("Schlüsseldatei " + file.string() + " kann nicht geschrieben werden");
}

std::string SigningKey::publicKey() const {
    return base64(public_.data(), public_.size());
}

std::string SigningKey::sign(std::string_view statement) const {
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(statement.data()), statement.size(),
                         secret_.data());
    return base64(signature.data(), signature.size());
}

} // namespace upd::server
