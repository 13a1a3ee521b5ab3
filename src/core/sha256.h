#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace upd {

// SHA-256, fed piece by piece: the digest that signed files and answers are known by.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(QByteArrayView bytes);
    // The 32-byte digest of everything added; the object is spent afterwards.
    QByteArray finish();

    static QByteArray of(QByteArrayView bytes);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A file's size and the lower-case hexadecimal SHA-256 of its bytes, the form both travel in.
struct FileDigest {
    std::int64_t size = 0;
    QString sha256;
};

// Reads the file once; nullopt when it is not a regular file or cannot be read.
std::optional<FileDigest> digestOfFile(const QString& path);

} // namespace upd
