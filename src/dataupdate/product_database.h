#pragma once

#include "dataupdate/sqlite_connection.h"

#include <QString>

namespace upd {
struct Session;
}

namespace upd::dataupdate {

// Where the host's database lies and how to get in.
struct DatabaseLocation {
    QString ExePath;                // the host's directory
    QString DBName;                 // the database file, relative to ExePath
    QString workgroupPasswordCodes; // the deployment setting, see workgroupPassword()

    static DatabaseLocation fromSession(const Session& session);

    QString databaseFile() const;  // ExePath, separator, DBName
    QString workgroupFile() const; // ExePath, separator, "SYSTEM.MDW"
};

// The open product database of one data installation (the module's `dbProgramm`).
class ProductDatabase {
public:
    static constexpr int BusyTimeoutMs = 2000;

    // Opens the database through its workgroup file (OpenProgrammDatenbank). On failure, false
    // and errText: "Programm-Datenbank-Name unbekannt!", "Programm-Datenbank-Verzeichnis
    // unbekannt!" or "modDataUpdate: " and the engine's description. On success errText is kept.
    bool open(const DatabaseLocation& location, QString& errText);

    // Closes it (CloseProgrammDatenbank); true at once when nothing is open.
    bool close(QString& errText);

    bool isOpen() const { return connection_.isOpen(); }
    QSqlDatabase& database() { return connection_.database(); }

    // One transaction per set: started before the table procedure, committed after it, also
    // after a failure, so the rows written before the failure stay. RuntimeError on failure.
    void beginSet();
    void commitSet();

private:
    void openDatabaseFile(const QString& path);

    SqliteConnection connection_;
    bool inSet_ = false;
};

} // namespace upd::dataupdate
