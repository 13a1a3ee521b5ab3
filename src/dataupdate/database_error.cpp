#include "dataupdate/database_error.h"

namespace upd::dataupdate {
namespace {

// SQLite's primary result codes, as the Qt driver reports them in nativeErrorCode().
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteIoError = 10;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteFull = 13;
constexpr int SqliteCannotOpen = 14;
constexpr int SqliteConstraint = 19;
constexpr int SqliteMismatch = 20;
constexpr int SqliteNotADatabase = 26;

QString engineText(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    return text;
}

QString withDetail(const QString& description, const QString& detail) {
    return detail.isEmpty() ? description : description + QStringLiteral(" (") + detail + u')';
}

} // namespace

RuntimeError engineError(const QSqlError& error) {
    const QString detail = engineText(error);
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);

    if (numeric && (code == SqliteBusy || code == SqliteLocked))
        return RuntimeError(
            dberr::DatabaseLocked,
            withDetail(QStringLiteral("Die Datenbank ist von einem anderen Benutzer "
                                      "oder Programm gesperrt."),
                       detail));
    if (numeric && (code == SqliteCorrupt || code == SqliteNotADatabase))
        return RuntimeError(
            dberr::UnrecognizedFormat,
            withDetail(QStringLiteral("Die Datenbank ist beschädigt oder hat ein nicht erkanntes "
                                      "Datenbankformat."),
                       detail));
    if (numeric && (code == SqliteIoError || code == SqliteFull || code == SqliteCannotOpen))
        return RuntimeError(
            dberr::DiskError,
            withDetail(QStringLiteral("Lese- oder Schreibfehler auf dem Datenträger."), detail));
    if (numeric && code == SqliteMismatch)
        return RuntimeError(
            dberr::ConversionError,
            withDetail(QStringLiteral("Fehler beim Konvertieren des Datentyps."), detail));
    // The driver does not always pass the extended code of a strict table's type check.
    if (detail.startsWith(QStringLiteral("cannot store")))
        return RuntimeError(
            dberr::ConversionError,
            withDetail(QStringLiteral("Der Wert passt nicht zum Datentyp des Feldes."), detail));
    if (numeric && code == SqliteConstraint) {
        if (detail.contains(QStringLiteral("UNIQUE")) ||
            detail.contains(QStringLiteral("PRIMARY KEY")))
            return RuntimeError(dberr::DuplicateKey,
                                withDetail(QStringLiteral("Die Änderungen wurden nicht "
                                                          "durchgeführt, weil sie doppelte Werte "
                                                          "in einem eindeutigen Index erzeugen "
                                                          "würden."),
                                           detail));
        if (detail.contains(QStringLiteral("NOT NULL")))
            return RuntimeError(
                dberr::FieldRequired,
                withDetail(QStringLiteral("Ein Pflichtfeld des Datensatzes ist leer."), detail));
        return RuntimeError(dberr::EngineError,
                            withDetail(QStringLiteral("Eine Gültigkeitsregel der Tabelle wurde "
                                                      "verletzt."),
                                       detail));
    }
    if (detail.startsWith(QStringLiteral("no such table")))
        return RuntimeError(
            dberr::TableNotFound,
            withDetail(QStringLiteral("Eine Tabelle fehlt in der Datenbank."), detail));
    if (detail.startsWith(QStringLiteral("no such column")) ||
        detail.contains(QStringLiteral("has no column named")))
        return RuntimeError(
            dberr::ItemNotFound,
            withDetail(QStringLiteral("Ein Feld fehlt in der Tabelle der Datenbank."), detail));
    return RuntimeError(dberr::EngineError,
                        withDetail(QStringLiteral("Fehler des Datenbankmoduls."), detail));
}

RuntimeError databaseFileError(int number, const QString& path) {
    switch (number) {
    case dberr::FileNotFound:
        return RuntimeError(number,
                            QStringLiteral("Die Datei '%1' wurde nicht gefunden.").arg(path));
    case dberr::DatabaseLocked:
        return RuntimeError(number, QStringLiteral("Die Datenbank '%1' ist von einem anderen "
                                                   "Benutzer oder Programm gesperrt.")
                                        .arg(path));
    case dberr::UnrecognizedFormat:
        return RuntimeError(number, QStringLiteral("Die Datenbank '%1' ist beschädigt oder hat "
                                                   "ein nicht erkanntes Datenbankformat.")
                                        .arg(path));
    case dberr::WorkgroupUnusable:
        return RuntimeError(number, QStringLiteral("Die Arbeitsgruppen-Informationsdatei '%1' "
                                                   "fehlt, ist beschädigt oder hat ein falsches "
                                                   "Format.")
                                        .arg(path));
    default:
        return RuntimeError(number,
                            QStringLiteral("Die Datei '%1' kann nicht geöffnet werden.").arg(path));
    }
}

} // namespace upd::dataupdate
