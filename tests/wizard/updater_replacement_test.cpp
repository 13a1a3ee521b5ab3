#include "app/program_steps.h"
#include "install/restart_protocol.h"
#include "support/hostile_proxy.h"
#include "support/memory_settings_store.h"
#include "support/scripted_prompts.h"
#include "support/signed_catalog.h"
#include "ui/frm_start.h"
#include "updateserver/update_server.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

const QString FailedText =
    QStringLiteral("Fehler : 800400002\r\nDer Download konnten nicht beendet werden! Versuchen "
                   "Sie es bitte später nochmal!");
const QString SampleUpdater =
    QStringLiteral(SAMPLE_CATALOG_DIR "/files/downloads/updater/quorlan-update");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The real window in run mode 6 against the bundled server with the sample catalog. The running
// updater's own file is a stand-in in a temporary directory, so that nothing real is replaced.
class UpdaterReplacementTest : public ::testing::Test {
protected:
    UpdaterReplacementTest()
        : catalog(test::signedCatalog()),
          server(catalog, DeploymentSettings::fromEnvironment(), {}), steps(loop, prompts, &store) {
        session.host.ProgID = QStringLiteral("QGR");
        session.host.ExeVers = QStringLiteral("3.1.0");
        session.host.AppName = QStringLiteral("quorlan-Gesundheitsratgeber");
        session.HostArguments = QStringLiteral("AppName=quorlan-Gesundheitsratgeber#START=6#X=1");
        session.RunMode = runmode::NewUpdater;
        session.ServerBaseUrl =
            QStringLiteral("http://127.0.0.1:%1").arg(server.start("127.0.0.1", 0));
        session.UpdaterVersion = QStringLiteral("2.01.0015");
        session.UpdaterPath = QStringLiteral("downloads/updater");
        session.UpdaterFile = QStringLiteral("quorlan-update");
        const server::UpdaterRelease& offered = *catalog.updater;
        session.updaterSeal = {QString::number(offered.size),
                               QString::fromStdString(offered.sha256),
                               QString::fromStdString(offered.signature)};
        session.OwnFile = dir.filePath(QStringLiteral("quorlan-update"));
        QFile own(session.OwnFile);
        EXPECT_TRUE(own.open(QIODevice::WriteOnly));
        own.close();
        QFile::setPermissions(session.OwnFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner | QFileDevice::ReadGroup);
    }
    void TearDown() override {
        delete window;
        QApplication::processEvents();
    }

    void open() {
        window = new frmStart(session, prompts, loop, steps);
        ASSERT_TRUE(window->Form_Load());
        ASSERT_EQ(window->wizardState(), wizard::DownloadNewUpdater);
    }
    QString newFile() const { return dir.filePath(QStringLiteral("2.01.0015.quorlan-update")); }
    QString message() { return window->messages().visibleMessageArea().text(); }
    bool startEnabled() { return window->controls().startButton().isEnabled(); }

    QTemporaryDir dir;
    const server::Catalog catalog;
    server::UpdateServer server;
    Session session;
    test::ScriptedPrompts prompts;
    test::MemorySettingsStore store;
    QtEventLoop loop;
    ProgramWizardSteps steps;
    frmStart* window = nullptr;
};

TEST_F(UpdaterReplacementTest, TheNewUpdaterArrivesBesideTheOwnFileReadyToStart) {
    open();
    window->StartAskForUpdates();
    EXPECT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    EXPECT_EQ(message(),
              QStringLiteral("Download erfolgreich abgeschlossen!\r\nKlicken Sie bitte "
                             "auf 'Weiter', um die Installation des Updates zu starten."));
    EXPECT_TRUE(startEnabled());
    EXPECT_EQ(readFile(newFile()), readFile(SampleUpdater));
    EXPECT_EQ(QFile::permissions(newFile()), QFile::permissions(session.OwnFile));
}

TEST_F(UpdaterReplacementTest, FailuresInsideTheDownloadAndRefusedNamesShowTheErrorNumber) {
    const struct {
        const char* what;
        QString ownFile;
        QString version;
        QString file;
    } cases[] = {
        {"a target that cannot be written", dir.filePath("gone/quorlan-update"), "2.01.0015",
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
        open();
        window->StartAskForUpdates();
        EXPECT_EQ(window->wizardState(), wizard::DownloadNewUpdater);
        EXPECT_EQ(message(), FailedText);
        EXPECT_TRUE(startEnabled());
        delete window;
        window = nullptr;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"quorlan-update"});
}

TEST_F(UpdaterReplacementTest, AMissingFileIsNamedAndAStringWithoutStartLeavesNothingBehind) {
    open();
    window->StartAskForUpdates();
    ASSERT_EQ(window->wizardState(), wizard::InstallNewUpdater);

    QFile::remove(newFile());
    window->StartAskForUpdates();
    EXPECT_EQ(window->controls().tabs().currentTab(), tab::Installation);
    EXPECT_EQ(window->boxes().installationLog().text(),
              QStringLiteral(" Installation gestartet ...."));
    EXPECT_EQ(message(), QStringLiteral("quorlan-Internet-Update Aktualisierung: Fehler bei der "
                                        "Installation. \r\nDatei ") +
                             QDir::toNativeSeparators(newFile()) +
                             QStringLiteral(" nicht gefunden!"));
    EXPECT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    EXPECT_TRUE(startEnabled());

    // The host's START item is the last one: there is nothing to park, and the step ends quietly.
    QFile::copy(SampleUpdater, newFile());
    session.HostArguments = QStringLiteral("AppName=X#START=6");
    window->messages().visibleMessageArea().setText(QString());
    window->StartAskForUpdates();
    EXPECT_EQ(message(), QString());
    EXPECT_FALSE(startEnabled());
    EXPECT_FALSE(store.contains(ConfigApplication, ConfigSection, ParkedArgumentsKey));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"2.01.0015.quorlan-update", "quorlan-update"}));
}

// A new updater that is not the one the maker signed never replaces the running one: changed on
// its way, it is deleted after the download; changed after the download, before the script.
TEST_F(UpdaterReplacementTest, ANewUpdaterThatIsNotTheSignedOneIsDeletedAndTheOldOneKept) {
    const QString notGenuine =
        QStringLiteral("Die Datei ") + QDir::toNativeSeparators(newFile()) +
        QStringLiteral(" ist kein echtes Update des Herstellers.\r\nDer Inhalt wurde nach der "
                       "Signatur verändert.\r\nDas bisherige Programm bleibt erhalten.");
    {
        test::HostileProxy proxy([](test::HostileProxy::Answer& answer) {
            if (answer.path.ends_with("/quorlan-update"))
                answer.body.back() ^= 1;
        });
        open();
        window->StartAskForUpdates();
        EXPECT_EQ(window->wizardState(), wizard::DownloadNewUpdater);
        EXPECT_EQ(message(), QStringLiteral("Fehler : 800400002\r\n") + notGenuine);
        EXPECT_FALSE(QFile::exists(newFile()));
    }
    window->StartAskForUpdates();
    ASSERT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    QFile changed(newFile());
    ASSERT_TRUE(changed.open(QIODevice::Append));
    changed.write("\n");
    changed.close();
    window->StartAskForUpdates();
    EXPECT_EQ(message(), QStringLiteral("quorlan-Internet-Update Aktualisierung: Fehler bei der "
                                        "Installation. \r\n") +
                             notGenuine);
    EXPECT_EQ(window->wizardState(), wizard::InstallNewUpdater);
    EXPECT_TRUE(startEnabled());
    EXPECT_FALSE(store.contains(ConfigApplication, ConfigSection, ParkedArgumentsKey));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"quorlan-update"})
        << "neither the changed file nor a script";
}

} // namespace
} // namespace upd
