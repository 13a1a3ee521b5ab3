// The new updater's download and installation in run mode 6: the real window against the bundled
// server.

#include "install/restart_protocol.h"
#include "support/hostile_proxy.h"
#include "wizard_under_test.h"

#include <QDir>

namespace upd {
namespace {

// The running updater's own file is a stand-in in the host's temporary directory, so that nothing
// real is replaced.
class UpdaterReplacementTest : public ::testing::Test, public test::WizardUnderTest {
protected:
    UpdaterReplacementTest() : WizardUnderTest(/*settingsInMemory=*/true) {
        session.HostArguments = QStringLiteral("AppName=quorlan-Gesundheitsratgeber#START=6#X=1");
        session.RunMode = runmode::NewUpdater;
        session.UpdaterVersion = QStringLiteral("2.01.0015");
        session.UpdaterPath = QStringLiteral("downloads/updater");
        session.UpdaterFile = QStringLiteral("quorlan-update");
        const server::UpdaterRelease& offered = *bundled.catalog.updater;
        session.updaterSeal = {QString::number(offered.size),
                               QString::fromStdString(offered.sha256),
                               QString::fromStdString(offered.signature)};
        session.OwnFile = hostDir.filePath(QStringLiteral("quorlan-update"));
        EXPECT_TRUE(QFile(session.OwnFile).open(QIODevice::WriteOnly));
        QFile::setPermissions(session.OwnFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::ReadGroup);
    }
    void TearDown() override { close(); }

    void openInRunMode6() {
        open(bundled.url);
        ASSERT_EQ(window->wizardState(), wizard::DownloadNewUpdater);
    }
    QString newFile() const { return hostDir.filePath(QStringLiteral("2.01.0015.quorlan-update")); }
    QString message() { return window->messages().visibleMessageArea().text(); }
    bool parked() {
        return memorySettings.contains(ConfigApplication, ConfigSection, ParkedArgumentsKey);
    }
    QStringList files() const { return QDir(hostDir.path()).entryList(QDir::Files); }

    const test::BundledServer bundled;
    const QString installFailed =
        QStringLiteral("quorlan-Internet-Update Aktualisierung: Fehler bei der Installation. \r\n");
};

TEST_F(UpdaterReplacementTest, TheNewUpdaterArrivesBesideTheOwnFileAndAMissingOneIsNamed) {
    openInRunMode6();
    press();
    EXPECT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    EXPECT_EQ(message(), QStringLiteral("Download erfolgreich abgeschlossen!\r\nKlicken Sie bitte "
                                        "auf 'Weiter', um die Installation des Updates zu "
                                        "starten."));
    EXPECT_TRUE(startEnabled());
    EXPECT_EQ(test::readFile(newFile()),
              test::readFile(test::sampleDownload("updater/quorlan-update")));
    EXPECT_EQ(QFile::permissions(newFile()), QFile::permissions(session.OwnFile));

    QFile::remove(newFile());
    press();
    EXPECT_EQ(window->controls().tabs().currentTab(), tab::Installation);
    EXPECT_EQ(window->boxes().installationLog().text(),
              QStringLiteral(" Installation gestartet ...."));
    EXPECT_EQ(message(), installFailed + QStringLiteral("Datei ") +
                             QDir::toNativeSeparators(newFile()) +
                             QStringLiteral(" nicht gefunden!"));
    EXPECT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    EXPECT_TRUE(startEnabled());

    // The host's START item is the last one: there is nothing to park, and the step ends quietly.
    QFile::copy(test::sampleDownload("updater/quorlan-update"), newFile());
    session.HostArguments = QStringLiteral("AppName=X#START=6");
    window->messages().visibleMessageArea().setText(QString());
    press();
    EXPECT_EQ(message(), QString());
    EXPECT_FALSE(startEnabled());
    EXPECT_FALSE(parked());
    EXPECT_EQ(files(), QStringList({"2.01.0015.quorlan-update", "quorlan-update"}));
}

TEST_F(UpdaterReplacementTest, FailuresInsideTheDownloadAndRefusedNamesShowTheErrorNumber) {
    const struct {
        const char* what;
        QString ownFile;
        QString version;
        QString file;
    } cases[] = {
        {"a target that cannot be written", hostDir.filePath("gone/quorlan-update"), "2.01.0015",
         "quorlan-update"},
        {"a file name that climbs out", session.OwnFile, "2.01.0015", "../../quorlan-update"},
        {"a version that climbs out", session.OwnFile, "..", "quorlan-update"},
        {"no updater offered", session.OwnFile, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        session.OwnFile = c.ownFile;
        session.UpdaterVersion = c.version;
        session.UpdaterFile = c.file;
        openInRunMode6();
        press();
        EXPECT_EQ(window->wizardState(), wizard::DownloadNewUpdater);
        EXPECT_EQ(message(), test::DownloadFailedText);
        EXPECT_TRUE(startEnabled());
    }
    EXPECT_EQ(QDir(hostDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"quorlan-update"});
}

// A new updater that is not the one the maker signed never replaces the running one: changed on
// its way, it is deleted after the download; changed after the download, before the script.
TEST_F(UpdaterReplacementTest, ANewUpdaterThatIsNotTheSignedOneIsDeletedAndTheOldOneKept) {
    const QString notGenuine =
        QStringLiteral("Die Datei ") + QDir::toNativeSeparators(newFile()) + test::NotGenuine +
        QStringLiteral("Der Inhalt wurde nach der Signatur verändert.\r\nDas "
                       "bisherige Programm bleibt erhalten.");
    {
        test::HostileProxy proxy([](test::HostileProxy::Answer& answer) {
            if (answer.path.ends_with("/quorlan-update"))
                answer.body.back() ^= 1;
        });
        openInRunMode6();
        press();
        EXPECT_EQ(window->wizardState(), wizard::DownloadNewUpdater);
        EXPECT_EQ(message(), QStringLiteral("Fehler : 800400002\r\n") + notGenuine);
        EXPECT_FALSE(QFile::exists(newFile()));
    }
    press();
    ASSERT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    QFile changed(newFile());
    ASSERT_TRUE(changed.open(QIODevice::Append));
    changed.write("\n");
    changed.close();
    press();
    EXPECT_EQ(message(), installFailed + notGenuine);
    EXPECT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    EXPECT_TRUE(startEnabled());
    EXPECT_FALSE(parked());
    EXPECT_EQ(files(), QStringList{"quorlan-update"}) << "neither the changed file nor a script";
}

} // namespace
} // namespace upd
