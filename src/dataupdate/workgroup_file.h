#pragma once

#include <QByteArray>
#include <QString>

namespace upd::dataupdate {

// The workgroup information file beside a product database ("SYSTEM.MDW"): the accounts that
// may open it, each with a salted PBKDF2 hash of its password, never the password itself. The
// format is described in docs/workgroup-file.md.

// Creates the file (replacing one that exists) with one account. RuntimeError when it cannot be
// written.
void createWorkgroupFile(const QString& path, const QString& user, const QString& password);

// Checks that `user` exists in the file (letter case aside) and that `password` verifies against
// its hash. RuntimeError 3028 when the file is missing or no workgroup file, 3029 when the account
// is unknown or the password wrong.
void verifyWorkgroupAccount(const QString& path, const QString& user, const QString& password);

// PBKDF2 with HMAC-SHA-256, one 32-byte block.
QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations);

} // namespace upd::dataupdate
