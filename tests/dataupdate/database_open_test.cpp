// Opening the product database through its workgroup file, against real files on disk.

#include "dataupdate/host_fixture.h"
#include "dataupdate/sqlite_connection.h"
#include "dataupdate/workgroup_file.h"
#include "support/test_files.h"

#include <functional>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using test::SampleHost;

QString openError(const DatabaseLocation& location) {
    ProductDatabase database;
    QString errText = QStringLiteral("unchanged");
    if (database.open(location, errText)) {
        EXPECT_EQ(errText, QStringLiteral("unchanged"));
        QString closing;
        EXPECT_TRUE(database.close(closing));
        return QStringLiteral("open");
    }
    EXPECT_FALSE(database.isOpen());
    return errText;
}

TEST(ProductDatabase, OpensOnlyThroughItsWorkgroupAndNamesWhatStandsInTheWay) {
    using Location = DatabaseLocation;
    const QString invalidAccount =
        QStringLiteral("modDataUpdate: Kein gültiger Kontoname oder kein gültiges Kennwort.");
    const QString unusable = QStringLiteral("modDataUpdate: Die Arbeitsgruppen-Informationsdatei "
                                            "'%2' fehlt, ist beschädigt oder hat ein falsches "
                                            "Format.");
    const struct {
        const char* what;
        std::function<void(Location&)> prepare;
        QString expected; // "%1" stands for the database file, "%2" for the workgroup file
    } cases[] = {
        {"no name", [](Location& l) { l.DBName = QString(); },
         "Programm-Datenbank-Name unbekannt!"},
        {"no directory", [](Location& l) { l.ExePath = QString(); },
         "Programm-Datenbank-Verzeichnis unbekannt!"},
        {"other password codes", [](Location& l) { l.workgroupPasswordCodes = "113,76,55,101"; },
         invalidAccount},
        {"user names ignore letter case",
         [](Location& l) { createWorkgroupFile(l.workgroupFile(), "QUORLANDESIGNER", "qL7d"); },
         "open"},
        {"no workgroup file", [](Location& l) { QFile::remove(l.workgroupFile()); }, unusable},
        {"a workgroup file of another format",
         [](Location& l) { upd::test::writeFile(l.workgroupFile(), "Standard Jet DB\n"); },
         unusable},
        {"an SQLite file that is not ours, even with an accounts table",
         [](Location& l) {
             QFile::remove(l.workgroupFile());
             SqliteConnection other;
             ASSERT_TRUE(other.open(l.workgroupFile(), SqliteConnection::Mode::Create, 0));
             executeOrThrow(other.database(),
                            "CREATE TABLE MSysAccounts (Name TEXT, Password TEXT)");
             executeOrThrow(other.database(),
                            "INSERT INTO MSysAccounts VALUES ('quorlanDesigner', '')");
         },
         unusable},
        {"a damaged database",
         [](Location& l) { upd::test::writeFile(l.databaseFile(), QByteArray(4096, 'x')); },
         "modDataUpdate: Die Datenbank '%1' ist beschädigt oder hat ein nicht erkanntes "
         "Datenbankformat."},
        {"no database", [](Location& l) { QFile::remove(l.databaseFile()); },
         "modDataUpdate: Die Datei '%1' wurde nicht gefunden."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SampleHost host(sample::ProductFamily::Naehrstoffe);
        DatabaseLocation location = host.location();
        c.prepare(location);
        const bool existed = QFile::exists(host.databaseFile());
        EXPECT_EQ(openError(location), QString(c.expected)
                                           .replace("%1", host.location().databaseFile())
                                           .replace("%2", host.location().workgroupFile()));
        EXPECT_EQ(QFile::exists(host.databaseFile()), existed) << "opening creates no database";
    }
}

TEST(ProductDatabase, ALockedDatabaseIsReportedAndOpensOnceFree) {
    SampleHost host(sample::ProductFamily::IndikLaborwerte);
    {
        SqliteConnection other;
        ASSERT_TRUE(other.open(host.databaseFile(), SqliteConnection::Mode::ReadWrite, 0));
        executeOrThrow(other.database(), QStringLiteral("BEGIN EXCLUSIVE"));
        EXPECT_EQ(openError(host.location()),
                  QStringLiteral("modDataUpdate: Die Datenbank '%1' ist von einem anderen "
                                 "Benutzer oder Programm gesperrt.")
                      .arg(host.location().databaseFile()));
    }
    EXPECT_EQ(openError(host.location()), QStringLiteral("open"));
}

} // namespace
} // namespace upd::dataupdate
