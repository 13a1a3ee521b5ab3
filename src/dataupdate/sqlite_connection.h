#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace upd::dataupdate {

// One named Qt SQL connection to an SQLite file, removed again when the object dies. The file
// must exist: opening never creates a database.
class SqliteConnection {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens `path`; false when the engine refuses (the error is in database().lastError()).
    bool open(const QString& path, Mode mode, int busyTimeoutMs);
    void close();
    bool isOpen() const { return db_.isOpen(); }

    QSqlDatabase& database() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

// Quotes a table or column name for a statement ("Länge_Original", "Bemerkung-Datei").
QString quotedName(const QString& name);

// Runs a statement without parameters; RuntimeError with the engine's error on failure.
void executeOrThrow(QSqlDatabase& db, const QString& sql);
// Runs a prepared query; RuntimeError with the engine's error on failure.
void executeOrThrow(QSqlQuery& query);
// Prepares a query on `db`; RuntimeError with the engine's error on failure.
QSqlQuery prepareOrThrow(QSqlDatabase& db, const QString& sql);

} // namespace upd::dataupdate
