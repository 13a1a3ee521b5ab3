#include "dataupdate/sample/sample_host.h"

#include "dataupdate/database_error.h"
#include "dataupdate/sqlite_connection.h"
#include "dataupdate/workgroup_file.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QStringList>

namespace upd::dataupdate::sample {
namespace {

// Tables as the hosts' databases have them. Keys that the import compares as quoted text are
// text; "ID_Item" of the laboratory values and the block numbers are numbers. Text keys compare
// without regard to letter case, like the hosts' engine.
const QStringList IndicationTables = {
    QStringLiteral("CREATE TABLE \"Indikationsnamen\" (\"ID\" TEXT NOT NULL COLLATE NOCASE, "
                   "\"NR\" TEXT NOT NULL COLLATE NOCASE, \"Name\" TEXT, "
                   "\"Hauptname\" INTEGER NOT NULL DEFAULT 0, \"CREATEDATE\" TEXT, "
                   "\"LASTUPDATE\" TEXT, PRIMARY KEY (\"ID\", \"NR\")) STRICT"),
    QStringLiteral("CREATE TABLE \"tblbausteine\" (\"id_baustein\" INTEGER PRIMARY KEY, "
                   "\"Bezeichnung\" TEXT NOT NULL) STRICT"),
    QStringLiteral("CREATE TABLE \"Indikationstexte\" (\"Indikations_Nr\" TEXT NOT NULL COLLATE "
                   "NOCASE, \"id_baustein\" INTEGER NOT NULL, \"original\" TEXT, "
                   "\"Länge_Original\" INTEGER, \"angelegt\" TEXT, \"geändert\" TEXT, "
                   "PRIMARY KEY (\"Indikations_Nr\", \"id_baustein\")) STRICT"),
};

QString textTable(const QString& name) {
    return QStringLiteral("CREATE TABLE \"%1\" (\"NR\" TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
                          "\"original\" TEXT, \"Länge_Original\" INTEGER, \"angelegt\" TEXT, "
                          "\"geändert\" TEXT) STRICT")
        .arg(name);
}

QStringList lexiconShgTables() {
    return {
        QStringLiteral("CREATE TABLE \"Lexikonbegriffe\" (\"ID_Item\" TEXT NOT NULL COLLATE "
                       "NOCASE, \"ID_Synonim\" TEXT NOT NULL COLLATE NOCASE, \"Name\" TEXT, "
                       "\"Hauptname\" INTEGER NOT NULL DEFAULT 0, \"createdate\" TEXT, "
                       "PRIMARY KEY (\"ID_Item\", \"ID_Synonim\")) STRICT"),
        textTable(QStringLiteral("Lexikontexte")),
        QStringLiteral("CREATE TABLE \"shg\" (\"NR\" TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
                       "\"NAME\" TEXT, \"ZUSATZ\" TEXT, \"STRASSE\" TEXT, \"Land\" TEXT, "
                       "\"PLZ\" TEXT, \"ORT\" TEXT, \"TELEFON\" TEXT, \"TELEFAX\" TEXT, "
                       "\"INTERNET\" TEXT, \"EMAIL\" TEXT, \"BEMERKUNG\" TEXT, "
                       "\"Bemerkung-Datei\" TEXT, \"GEAENDERT\" INTEGER, \"NEU\" INTEGER, "
                       "\"TREFFER\" INTEGER, \"AnlegeDatum\" TEXT, \"Aenderungsdatum\" TEXT) "
                       "STRICT"),
    };
}

QStringList nutrientTables() {
    return {
        QStringLiteral("CREATE TABLE \"Nährstoffe\" (\"NR\" TEXT NOT NULL PRIMARY KEY COLLATE "
                       "NOCASE, \"id_text_wissen\" TEXT, \"id_text_viel\" TEXT, "
                       "\"id_text_wenig\" TEXT) STRICT"),
        QStringLiteral("CREATE TABLE \"Nährstoffbegriffe\" (\"ID\" TEXT NOT NULL COLLATE NOCASE, "
                       "\"NR\" TEXT NOT NULL COLLATE NOCASE, \"Name\" TEXT, "
                       "\"Hauptname\" INTEGER NOT NULL DEFAULT 0, \"CREATEDATE\" TEXT, "
                       "\"LASTUPDATE\" TEXT, PRIMARY KEY (\"ID\", \"NR\")) STRICT"),
        textTable(QStringLiteral("Nährstofftexte")),
    };
}

QStringList laboratoryTables() {
    return {
        QStringLiteral("CREATE TABLE \"LaborwerteLexikon\" (\"ID_Item\" INTEGER NOT NULL, "
                       "\"ID_Synonim\" TEXT NOT NULL COLLATE NOCASE, \"Name\" TEXT, "
                       "\"Hauptname\" INTEGER NOT NULL DEFAULT 0, \"CREATEDATE\" TEXT, "
                       "\"LASTUPDATE\" TEXT, PRIMARY KEY (\"ID_Item\", \"ID_Synonim\")) STRICT"),
        textTable(QStringLiteral("LaborwerteLexikontexte")),
    };
}

const QStringList TextBlocks = {
    QStringLiteral("INSERT INTO \"tblbausteine\" VALUES (1, 'Beschreibung'), (2, 'Ursachen'), "
                   "(3, 'Symptome'), (4, 'Behandlung'), (5, 'Vorbeugung')"),
};

QStringList sampleRows(ProductFamily family) {
    switch (family) {
    case ProductFamily::IndikLexikonShg:
        return {
            QStringLiteral("INSERT INTO \"Indikationsnamen\" VALUES ('9000', '900', "
                           "'Kopfschmerz', 1, '2023-01-15', '2023-01-15')"),
            QStringLiteral("INSERT INTO \"Indikationstexte\" VALUES ('900', 1, "
                           "'Schmerzen im Kopfbereich.', 25, '2023-01-15', '2023-01-15')"),
            QStringLiteral("INSERT INTO \"Lexikonbegriffe\" VALUES ('7000', '700', 'Aura', 1, "
                           "'2023-01-15')"),
            QStringLiteral("INSERT INTO \"Lexikontexte\" VALUES ('700', NULL, NULL, NULL, NULL)"),
            QStringLiteral("INSERT INTO \"shg\" (\"NR\", \"NAME\", \"ORT\", \"TELEFON\", "
                           "\"AnlegeDatum\") VALUES ('4711', 'Gesprächskreis Übelkeit', "
                           "'Altstadt', '0221 123456', '2022-05-01')"),
        };
    case ProductFamily::Naehrstoffe:
        return {
            QStringLiteral("INSERT INTO \"Nährstoffe\" VALUES ('300', NULL, NULL, NULL)"),
            QStringLiteral("INSERT INTO \"Nährstoffbegriffe\" VALUES ('3000', '300', "
                           "'Vitamin K1', 1, '2023-01-15', '2023-01-15')"),
        };
    case ProductFamily::IndikLaborwerte:
        return {
            QStringLiteral("INSERT INTO \"Indikationsnamen\" VALUES ('9000', '900', "
                           "'Kopfschmerz', 1, '2023-01-15', '2023-01-15')"),
            QStringLiteral("INSERT INTO \"LaborwerteLexikon\" VALUES (6000, '600', "
                           "'Hämoglobin', 1, '2023-01-15', '2023-01-15')"),
            QStringLiteral("INSERT INTO \"LaborwerteLexikontexte\" VALUES ('600', "
                           "'<h2>#name#</h2><h3>Wissenswertes</h3>Roter Blutfarbstoff.', 57, "
                           "'2023-01-15', '2023-01-15')"),
        };
    }
    return {};
}

QStringList schemaOf(ProductFamily family) {
    switch (family) {
    case ProductFamily::IndikLexikonShg:
        return IndicationTables + lexiconShgTables() + TextBlocks;
    case ProductFamily::Naehrstoffe:
        return nutrientTables();
    case ProductFamily::IndikLaborwerte:
        return IndicationTables + laboratoryTables() + TextBlocks;
    }
    return {};
}

} // namespace

std::optional<ProductFamily> familyOf(const QString& progId) {
    if (progId == QLatin1String("QGR") || progId == QLatin1String("QHR"))
        return ProductFamily::IndikLexikonShg;
    if (progId == QLatin1String("QBR"))
        return ProductFamily::Naehrstoffe;
    if (progId == QLatin1String("QAR") || progId == QLatin1String("QJRK"))
        return ProductFamily::IndikLaborwerte;
    return std::nullopt;
}

void createSampleDatabase(const QString& path, ProductFamily family, bool withSampleRows) {
    QFile::remove(path);
    SqliteConnection connection;
    if (!connection.open(path, SqliteConnection::Mode::Create, 0))
        throw engineError(connection.database().lastError());
    QSqlDatabase& db = connection.database();
    executeOrThrow(db, QStringLiteral("BEGIN"));
    QStringList statements = schemaOf(family);
    if (withSampleRows)
        statements += sampleRows(family);
    for (const QString& statement : statements)
        executeOrThrow(db, statement);
    executeOrThrow(db, QStringLiteral("COMMIT"));
}

void createSampleHost(const QString& directory, const QString& dbName, ProductFamily family,
                      const QString& workgroupPassword, bool withSampleRows) {
    QDir().mkpath(directory);
    createSampleDatabase(directory + QDir::separator() + dbName, family, withSampleRows);
    createWorkgroupFile(directory + QDir::separator() + QStringLiteral("SYSTEM.MDW"),
                        QStringLiteral("quorlanDesigner"), workgroupPassword);
}

} // namespace upd::dataupdate::sample
