#include "dataupdate/sqlite_connection.h"

#include "dataupdate/database_error.h"

#include <QSqlError>
#include <QUrl>
#include <atomic>

namespace upd::dataupdate {
namespace {

QString uniqueConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("modDataUpdate-%1").arg(++counter);
}

const char* uriMode(SqliteConnection::Mode mode) {
    switch (mode) {
    case SqliteConnection::Mode::ReadOnly:
        return "ro";
    case SqliteConnection::Mode::ReadWrite:
        return "rw";
    case SqliteConnection::Mode::Create:
        break;
    }
    return "rwc";
}

} // namespace

SqliteConnection::~SqliteConnection() {
    close();
}

bool SqliteConnection::open(const QString& path, Mode mode, int busyTimeoutMs) {
    close();
    name_ = uniqueConnectionName();
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    // A URI keeps "?" and "#" in directory names literal and lets "mode=rw" refuse to create.
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(QStringLiteral("mode=") + QString::fromLatin1(uriMode(mode)));
    db_.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db_.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    return db_.open();
}

void SqliteConnection::close() {
    if (name_.isEmpty())
        return;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
}

QString quotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void executeOrThrow(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw engineError(query.lastError());
}

void executeOrThrow(QSqlQuery& query) {
    if (!query.exec())
        throw engineError(query.lastError());
}

QSqlQuery prepareOrThrow(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw engineError(query.lastError());
    return query;
}

} // namespace upd::dataupdate
