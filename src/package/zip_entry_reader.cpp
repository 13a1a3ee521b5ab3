#include "package/zip_entry_reader.h"

#include "package/winzip_aes.h"

#include <algorithm>
#include <array>
#include <vector>
#include <zlib.h>

namespace upd {
namespace {

constexpr zip_uint16_t StoredMethod = 0;
constexpr zip_uint16_t DeflatedMethod = 8;

QString libraryText(zip_error_t* error) {
    return QString::fromUtf8(zip_error_strerror(error));
}

ExtractionFailure failureFrom(zip_error_t* error, bool encrypted) {
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_NOPASSWD:
        return {ExtractionResult::WrongPassword, libraryText(error)};
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        // A traditionally encrypted entry opened with a wrong password passes the one-byte check
        // once in 256 times and then shows as damaged data.
        return {encrypted ? ExtractionResult::WrongPassword : ExtractionResult::Corrupt,
                libraryText(error)};
    default:
        return {ExtractionResult::Corrupt, libraryText(error)};
    }
}

// The key strength of the AES extra field: 1, 2, 3 for 128, 192, 256 bits; 0 for no AES.
int strengthOf(zip_uint16_t encryption) {
    switch (encryption) {
    case ZIP_EM_AES_128:
        return 1;
    case ZIP_EM_AES_192:
        return 2;
    case ZIP_EM_AES_256:
        return 3;
    default:
        return 0;
    }
}

ExtractionFailure corrupt(const char* why) {
    return {ExtractionResult::Corrupt, QString::fromLatin1(why)};
}

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

// Entries without WinZip-AES encryption: libzip decrypts (traditional PKWARE), decompresses and
// checks the CRC when the content has been read to its end.
class LibzipEntryReader : public ZipEntryReader {
public:
    LibzipEntryReader(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat,
                      const QByteArray& password)
        : encrypted_(stat.encryption_method != ZIP_EM_NONE), declaredSize_(stat.size) {
        file_.reset(zip_fopen_index_encrypted(archive, index, 0,
                                              password.isEmpty() ? nullptr : password.constData()));
        if (!file_)
            throw failureFrom(zip_get_error(archive), encrypted_);
    }

    std::size_t read(char* buffer, std::size_t size) override {
        const zip_int64_t n = zip_fread(file_.get(), buffer, size);
        if (n < 0)
            throw failureFrom(zip_file_get_error(file_.get()), encrypted_);
        total_ += zip_uint64_t(n);
        if (total_ > declaredSize_)
            throw corrupt("more data than the archive declares");
        if (n == 0 && total_ != declaredSize_)
            throw corrupt("less data than the archive declares");
        return std::size_t(n);
    }

private:
    ZipFile file_;
    bool encrypted_;
    zip_uint64_t declaredSize_;
    zip_uint64_t total_ = 0;
};

// WinZip-AES entries, decrypted here from the raw data: libzip 1.7 compares the CRC field of AE-2
// entries, which is 0, with the content's CRC and so refuses them. The authentication code is the
// real check.
class AesEntryReader : public ZipEntryReader {
public:
    AesEntryReader(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat,
                   const QByteArray& password)
        : strength_(strengthOf(stat.encryption_method)), method_(stat.comp_method),
          declaredSize_(stat.size),
          // AE-2 entries carry the CRC 0 (the authentication code replaces it), AE-1 entries the
          // content's CRC. libzip hides the extra field that tells them apart, so a CRC other
          // than 0 is checked.
          checkCrc_((stat.valid & ZIP_STAT_CRC) && stat.crc != 0), declaredCrc_(stat.crc) {
        if (!(stat.valid & ZIP_STAT_COMP_METHOD) ||
            (method_ != StoredMethod && method_ != DeflatedMethod))
            throw ExtractionFailure{
                ExtractionResult::Corrupt,
                QStringLiteral("Compression method %1 not supported").arg(method_)};
        if (password.isEmpty())
            throw ExtractionFailure{ExtractionResult::WrongPassword,
                                    QStringLiteral("No password provided")};
        const std::size_t saltBytes = WinZipAesDecryptor::saltLength(strength_);
        const std::size_t overhead = saltBytes + WinZipAesDecryptor::VerifierLength +
                                     WinZipAesDecryptor::AuthenticationCodeLength;
        if (stat.comp_size < overhead)
            throw corrupt("encrypted entry too short");
        encryptedRemaining_ = stat.comp_size - overhead;

        // Raw data: no decryption, no decompression, and read only up to its declared end.
        raw_.reset(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED));
        if (!raw_)
            throw failureFrom(zip_get_error(archive), true);
        std::array<unsigned char, 16 + WinZipAesDecryptor::VerifierLength> header{};
        readRaw(header.data(), saltBytes + WinZipAesDecryptor::VerifierLength);
        decryptor_ = WinZipAesDecryptor::create(strength_, password, header.data(),
                                                header.data() + saltBytes);
        if (!decryptor_)
            throw ExtractionFailure{ExtractionResult::WrongPassword,
                                    QStringLiteral("Wrong password provided")};
        if (method_ == DeflatedMethod) {
            inflating_ = true;
            input_.resize(256 * 1024);
            if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK)
                throw corrupt("cannot start decompression");
        }
    }

    ~AesEntryReader() override {
        if (inflating_)
            inflateEnd(&stream_);
    }

    std::size_t read(char* buffer, std::size_t size) override {
        if (finished_)
            return 0;
        const std::size_t n = inflating_ ? inflate(buffer, size) : copyStored(buffer, size);
        if (n == 0) {
            finish();
            return 0;
        }
        total_ += n;
        if (total_ > declaredSize_)
            throw corrupt("more data than the archive declares");
        if (checkCrc_)
            crc_ = crc32_z(crc_, reinterpret_cast<const Bytef*>(buffer), n);
        return n;
    }

private:
    // Exactly `size` raw bytes; never asks for more than remain, since asking libzip past the end
    // of a stored AE-2 entry runs its CRC check.
    void readRaw(unsigned char* buffer, std::size_t size) {
        while (size > 0) {
            const zip_int64_t n = zip_fread(raw_.get(), buffer, size);
            if (n < 0)
                throw failureFrom(zip_file_get_error(raw_.get()), true);
            if (n == 0)
                throw corrupt("encrypted entry ends early");
            buffer += n;
            size -= std::size_t(n);
        }
    }

    std::size_t readDecrypted(unsigned char* buffer, std::size_t size) {
        const std::size_t n = std::size_t(std::min<zip_uint64_t>(size, encryptedRemaining_));
        readRaw(buffer, n);
        if (!decryptor_->decrypt(buffer, n))
            throw corrupt("decryption failed");
        encryptedRemaining_ -= n;
        return n;
    }

    std::size_t copyStored(char* buffer, std::size_t size) {
        return readDecrypted(reinterpret_cast<unsigned char*>(buffer), size);
    }

    std::size_t inflate(char* buffer, std::size_t size) {
        stream_.next_out = reinterpret_cast<Bytef*>(buffer);
        const std::size_t offered = std::min<std::size_t>(size, 1u << 30);
        stream_.avail_out = uInt(offered);
        while (!streamEnded_) {
            if (stream_.avail_in == 0 && encryptedRemaining_ > 0) {
                stream_.avail_in = uInt(readDecrypted(input_.data(), input_.size()));
                stream_.next_in = input_.data();
            }
            const int status = ::inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                streamEnded_ = true;
            else if (status == Z_BUF_ERROR && stream_.avail_in == 0 && encryptedRemaining_ == 0)
                throw corrupt("compressed data ends early");
            else if (status != Z_OK && status != Z_BUF_ERROR)
                throw ExtractionFailure{
                    ExtractionResult::Corrupt,
                    QStringLiteral("Zlib error: %1")
                        .arg(QString::fromLatin1(stream_.msg ? stream_.msg : "data error"))};
            const std::size_t produced = offered - stream_.avail_out;
            if (produced > 0)
                return produced;
        }
        if (stream_.avail_in > 0 || encryptedRemaining_ > 0)
            throw corrupt("data after the end of the compressed data");
        return 0;
    }

    void finish() {
        std::array<unsigned char, WinZipAesDecryptor::AuthenticationCodeLength> code{};
        readRaw(code.data(), code.size());
        if (!decryptor_->authenticate(code.data()))
            throw corrupt("authentication code does not match: damaged data");
        if (total_ != declaredSize_)
            throw corrupt("less data than the archive declares");
        if (checkCrc_ && crc_ != declaredCrc_)
            throw corrupt("CRC error");
        finished_ = true;
    }

    int strength_;
    zip_uint16_t method_;
    zip_uint64_t declaredSize_;
    bool checkCrc_;
    zip_uint32_t declaredCrc_;
    ZipFile raw_;
    std::unique_ptr<WinZipAesDecryptor> decryptor_;
    zip_uint64_t encryptedRemaining_ = 0;
    bool inflating_ = false;
    bool streamEnded_ = false;
    z_stream stream_{};
    std::vector<unsigned char> input_;
    zip_uint64_t total_ = 0;
    uLong crc_ = crc32_z(0, nullptr, 0);
    bool finished_ = false;
};

} // namespace

std::unique_ptr<ZipEntryReader> ZipEntryReader::open(zip_t* archive, zip_uint64_t index,
                                                     const QByteArray& password) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    constexpr zip_uint64_t needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_ENCRYPTION_METHOD;
    if (zip_stat_index(archive, index, 0, &stat) != 0 || (stat.valid & needed) != needed)
        throw failureFrom(zip_get_error(archive), false);
    if (strengthOf(stat.encryption_method) != 0)
        return std::make_unique<AesEntryReader>(archive, index, stat, password);
    return std::make_unique<LibzipEntryReader>(archive, index, stat, password);
}

} // namespace upd
