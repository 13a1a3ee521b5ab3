#include "dataupdate/product_database.h"

#include "core/session.h"
#include "dataupdate/database_error.h"
#include "dataupdate/workgroup_file.h"
#include "dataupdate/workgroup_password.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace upd::dataupdate {
namespace {

const QString WorkgroupUser = QStringLiteral("quorlanDesigner");
const QString ErrorPrefix = QStringLiteral("modDataUpdate: ");

// SQLite's codes for "not a database" and "damaged".
bool isFormatError(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("26") || code == QLatin1String("11");
}

bool isLockError(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

} // namespace

DatabaseLocation DatabaseLocation::fromSession(const Session& session) {
    return {session.host.ExePath, session.host.DBName, session.deployment.workgroupPassword};
}

QString DatabaseLocation::databaseFile() const {
    return ExePath + QDir::separator() + DBName;
}

QString DatabaseLocation::workgroupFile() const {
    return ExePath + QDir::separator() + QStringLiteral("SYSTEM.MDW");
}

bool ProductDatabase::open(const DatabaseLocation& location, QString& errText) {
    if (location.DBName.isEmpty()) {
        errText = QStringLiteral("Programm-Datenbank-Name unbekannt!");
        return false;
    }
    if (location.ExePath.isEmpty()) {
        errText = QStringLiteral("Programm-Datenbank-Verzeichnis unbekannt!");
        return false;
    }
    try {
        const QString password = workgroupPassword(location.workgroupPasswordCodes);
        verifyWorkgroupAccount(location.workgroupFile(), WorkgroupUser, password);
        openDatabaseFile(location.databaseFile());
        return true;
    } catch (const RuntimeError& error) {
        connection_.close();
        errText = ErrorPrefix + error.description();
        return false;
    }
}

void ProductDatabase::openDatabaseFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        throw databaseFileError(dberr::FileNotFound, path);
    if (!connection_.open(QFileInfo(path).absoluteFilePath(), SqliteConnection::Mode::ReadWrite,
                          BusyTimeoutMs))
        throw databaseFileError(dberr::FileNotFound, path);

    // The engine opens lazily: read the schema to find a file that is no database, and take the
    // write lock once to find one that another program holds.
    QSqlQuery probe(connection_.database());
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const QSqlError error = probe.lastError();
        if (isFormatError(error))
            throw databaseFileError(dberr::UnrecognizedFormat, path);
        if (isLockError(error))
            throw databaseFileError(dberr::DatabaseLocked, path);
        throw engineError(error);
    }
    probe.finish();
    if (!probe.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const QSqlError error = probe.lastError();
        if (isLockError(error))
            throw databaseFileError(dberr::DatabaseLocked, path);
        throw engineError(error);
    }
    executeOrThrow(connection_.database(), QStringLiteral("ROLLBACK"));
}

bool ProductDatabase::close(QString& errText) {
    if (!connection_.isOpen())
        return true;
    bool closed = true;
    if (inSet_) {
        // Only a failure of the driver itself gets here; keep what the set wrote.
        QSqlQuery commit(connection_.database());
        if (!commit.exec(QStringLiteral("COMMIT"))) {
            errText = ErrorPrefix + engineError(commit.lastError()).description();
            closed = false;
        }
        inSet_ = false;
    }
    connection_.close();
    return closed;
}

void ProductDatabase::beginSet() {
    executeOrThrow(connection_.database(), QStringLiteral("BEGIN IMMEDIATE"));
    inSet_ = true;
}

void ProductDatabase::commitSet() {
    inSet_ = false;
    executeOrThrow(connection_.database(), QStringLiteral("COMMIT"));
}

} // namespace upd::dataupdate
