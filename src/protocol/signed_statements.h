#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The statements the maker signs: texts that the update server and the updater both build from
// the values they have, byte for byte alike. docs/update-server.md describes them for other
// servers. Each is UTF-8, one "key=value" line per value after a first line naming its kind, every
// line ending in LF. A value that holds a control character (a line break could make two
// statements read alike) gives no statement: nothing with such a value can carry a signature.
namespace upd {

// The size and digest of one file of an update, under the file's name.
struct FileChecksum {
    QString file;
    std::int64_t size = -1;
    QString sha256; // lower-case hexadecimal
};

// What an update entry's signature covers. Booleans are read as the updater reads them and
// written as True or False.
struct SignedUpdate {
    QString product;
    QString version;
    QString min;
    QString max;
    QString startFile;
    bool noStartupArgs = false;
    bool newDlls = false;
    bool newMasterVersion = false;
    QString filesToExtract;
    std::vector<FileChecksum> files; // every file of `files`, in that order
};
std::optional<QByteArray> statementOf(const SignedUpdate& update);

// What the signature of a new updater covers.
struct SignedUpdater {
    QString version;
    QString file;
    std::int64_t size = -1;
    QString sha256;
};
std::optional<QByteArray> statementOf(const SignedUpdater& updater);

// What the signature of a data payload covers: the product code and database version as the
// request named them, and the digest of the answer's exact bytes.
struct SignedPayload {
    QString product;
    QString databaseVersion;
    QString sha256;
};
std::optional<QByteArray> statementOf(const SignedPayload& payload);

// The response header that carries a data payload's signature.
inline constexpr const char* PayloadSignatureHeader = "X-Quorlan-Signature";

} // namespace upd
