// Opening the product database through its workgroup file, against real files on disk.

#include "dataupdate/host_fixture.h"
#include "dataupdate/sqlite_connection.h"
#include "dataupdate/workgroup_file.h"

#include <QFile>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::SampleHost;

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

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

TEST(ProductDatabase, NameAndDirectoryAreCheckedBeforeAnyFile) {
    SampleHost host(ProductFamily::Naehrstoffe);
    DatabaseLocation location = host.location();
    EXPECT_EQ(openError(location), QStringLiteral("open"));
    EXPECT_EQ(openError({QString(), QString(), test::PasswordCodes}),
              QStringLiteral("Programm-Datenbank-Name unbekannt!"));
    EXPECT_EQ(openError({location.ExePath, QString(), test::PasswordCodes}),
              QStringLiteral("Programm-Datenbank-Name unbekannt!"));
    EXPECT_EQ(openError({QString(), location.DBName, test::PasswordCodes}),
              QStringLiteral("Programm-Datenbank-Verzeichnis unbekannt!"));
}

TEST(ProductDatabase, RefusesWrongWorkgroupsAndPasswords) {
    SampleHost host(ProductFamily::Naehrstoffe);
    const DatabaseLocation location = host.location();
    const QString invalidAccount =
        QStringLiteral("modDataUpdate: Kein gültiger Kontoname oder kein gültiges Kennwort.");

    EXPECT_EQ(openError({location.ExePath, location.DBName, QStringLiteral("113,76,55,101")}),
              invalidAccount);

    createWorkgroupFile(location.workgroupFile(), QStringLiteral("QUORLANDESIGNER"),
                        QStringLiteral("qL7d"));
    EXPECT_EQ(openError(location), QStringLiteral("open")) << "user names ignore letter case";

    createWorkgroupFile(location.workgroupFile(), QStringLiteral("Admin"), QStringLiteral("qL7d"));
    EXPECT_EQ(openError(location), invalidAccount);

    const QString unusable = QStringLiteral("modDataUpdate: Die Arbeitsgruppen-"
                                            "Informationsdatei '%1' fehlt, ist beschädigt oder "
                                            "hat ein falsches Format.")
                                 .arg(location.workgroupFile());
    writeFile(location.workgroupFile(), "Standard Jet DB\n");
    EXPECT_EQ(openError(location), unusable);
    {
        // An SQLite file that is not ours, even with an accounts table.
        QFile::remove(location.workgroupFile());
        SqliteConnection other;
        ASSERT_TRUE(other.open(location.workgroupFile(), SqliteConnection::Mode::Create, 0));
        executeOrThrow(other.database(),
                       QStringLiteral("CREATE TABLE MSysAccounts (Name TEXT, Password TEXT)"));
        executeOrThrow(other.database(),
                       QStringLiteral("INSERT INTO MSysAccounts VALUES ('quorlanDesigner', '')"));
    }
    EXPECT_EQ(openError(location), unusable);
    QFile::remove(location.workgroupFile());
    EXPECT_EQ(openError(location), unusable);
}

TEST(ProductDatabase, ReportsMissingDamagedAndLockedDatabases) {
    SampleHost host(ProductFamily::IndikLaborwerte);
    const DatabaseLocation location = host.location();

    {
        SqliteConnection other;
        ASSERT_TRUE(other.open(host.databaseFile(), SqliteConnection::Mode::ReadWrite, 0));
        executeOrThrow(other.database(), QStringLiteral("BEGIN EXCLUSIVE"));
        EXPECT_EQ(openError(location),
                  QStringLiteral("modDataUpdate: Die Datenbank '%1' ist von einem anderen "
                                 "Benutzer oder Programm gesperrt.")
                      .arg(location.databaseFile()));
        executeOrThrow(other.database(), QStringLiteral("ROLLBACK"));
    }
    EXPECT_EQ(openError(location), QStringLiteral("open"));

    writeFile(host.databaseFile(), QByteArray(4096, 'x'));
    EXPECT_EQ(openError(location),
              QStringLiteral("modDataUpdate: Die Datenbank '%1' ist beschädigt oder hat ein "
                             "nicht erkanntes Datenbankformat.")
                  .arg(location.databaseFile()));

    QFile::remove(host.databaseFile());
    EXPECT_EQ(openError(location),
              QStringLiteral("modDataUpdate: Die Datei '%1' wurde nicht gefunden.")
                  .arg(location.databaseFile()));
    EXPECT_FALSE(QFile::exists(host.databaseFile())) << "opening must not create a database";
}

TEST(ProductDatabase, ClosingWhenNothingIsOpenSucceeds) {
    ProductDatabase database;
    QString errText;
    EXPECT_TRUE(database.close(errText));
    EXPECT_TRUE(errText.isEmpty());
}

} // namespace
} // namespace upd::dataupdate
