#include "dataupdate/workgroup_file.h"

#include "core/runtime_error.h"
#include "dataupdate/database_error.h"
#include "dataupdate/sqlite_connection.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSqlError>
#include <QVariant>

namespace upd::dataupdate {
namespace {

// "QWKG": marks an SQLite file as a workgroup file of ours.
constexpr qint64 ApplicationId = 0x51574B47;
constexpr int FormatVersion = 1;
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
constexpr int NewIterations = 50'000;
// A hostile file must not make the check run for minutes.
constexpr qint64 MaxIterations = 10'000'000;

RuntimeError workgroupUnusable(const QString& path) {
    return databaseFileError(dberr::WorkgroupUnusable, path);
}

RuntimeError invalidAccount() {
    return RuntimeError(dberr::InvalidAccount,
                        QStringLiteral("Kein gültiger Kontoname oder kein gültiges Kennwort."));
}

bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

qint64 pragmaValue(QSqlDatabase& db, const QString& pragma) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA ") + pragma) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

} // namespace

QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    mac.addData(salt);
    mac.addData("\0\0\0\1", 4);
    QByteArray block = mac.result();
    QByteArray derived = block;
    for (int round = 1; round < iterations; ++round) {
        mac.reset();
        mac.addData(block);
        block = mac.result();
        for (qsizetype i = 0; i < derived.size(); ++i)
            derived[i] = static_cast<char>(derived[i] ^ block[i]);
    }
    return derived;
}

void createWorkgroupFile(const QString& path, const QString& user, const QString& password) {
    QFile::remove(path);
    SqliteConnection connection;
    if (!connection.open(path, SqliteConnection::Mode::Create, 0))
        throw engineError(connection.database().lastError());
    QSqlDatabase& db = connection.database();
    executeOrThrow(db, QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId));
    executeOrThrow(db, QStringLiteral("PRAGMA user_version = %1").arg(FormatVersion));
    executeOrThrow(db, QStringLiteral("CREATE TABLE MSysAccounts ("
                                      "Name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
                                      "Salt BLOB NOT NULL, "
                                      "Iterations INTEGER NOT NULL, "
                                      "PasswordHash BLOB NOT NULL) STRICT"));

    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                          SaltBytes / int(sizeof(quint32)));
    QSqlQuery insert = prepareOrThrow(
        db, QStringLiteral("INSERT INTO MSysAccounts (Name, Salt, Iterations, PasswordHash) "
                           "VALUES (?, ?, ?, ?)"));
    insert.bindValue(0, user);
    insert.bindValue(1, salt);
    insert.bindValue(2, NewIterations);
    insert.bindValue(3, pbkdf2Sha256(password.toUtf8(), salt, NewIterations));
    executeOrThrow(insert);
}

void verifyWorkgroupAccount(const QString& path, const QString& user, const QString& password) {
    if (!QFileInfo(path).isFile())
        throw workgroupUnusable(path);
    SqliteConnection connection;
    if (!connection.open(path, SqliteConnection::Mode::ReadOnly, 2000))
        throw workgroupUnusable(path);
    QSqlDatabase& db = connection.database();
    if (pragmaValue(db, QStringLiteral("application_id")) != ApplicationId ||
        pragmaValue(db, QStringLiteral("user_version")) != FormatVersion)
        throw workgroupUnusable(path);

    QSqlQuery account(db);
    account.setForwardOnly(true);
    if (!account.prepare(QStringLiteral("SELECT Salt, Iterations, PasswordHash FROM MSysAccounts "
                                        "WHERE Name = ?")))
        throw workgroupUnusable(path);
    account.bindValue(0, user);
    if (!account.exec())
        throw workgroupUnusable(path);
    if (!account.next())
        throw invalidAccount();
    const QByteArray salt = account.value(0).toByteArray();
    const qint64 iterations = account.value(1).toLongLong();
    const QByteArray stored = account.value(2).toByteArray();
    if (iterations < 1 || iterations > MaxIterations || stored.size() != HashBytes)
        throw workgroupUnusable(path);
    if (!sameBytes(pbkdf2Sha256(password.toUtf8(), salt, int(iterations)), stored))
        throw invalidAccount();
}

} // namespace upd::dataupdate
