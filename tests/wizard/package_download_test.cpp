#include "app/program_steps.h"
#include "core/error_catalogue.h"
#include "support/local_http_server.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "support/signed_catalog.h"
#include "ui/frm_start.h"
#include "updateserver/password_encoder.h"
#include "updateserver/update_server.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

const QString DownloadDoneText =
    QStringLiteral("Download erfolgreich abgeschlossen!\r\nKlicken Sie bitte auf 'Weiter', um die "
                   "Installation der Updates zu starten.");
const QString FailedText = QStringLiteral(
    "Es konnten keine neuen Versionen heruntergeladen werden. Bitte versuchen Sie es zu einem "
    "späteren Zeitpunkt nochmal.\r\nFehler : 800400002\r\nDer Download konnten nicht beendet "
    "werden! Versuchen Sie es bitte später nochmal!");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The real window and steps, pressing "Start" and then "Weiter" as the user does, for a host whose
// directory is a temporary one.
class PackageDownloadTest : public ::testing::Test {
protected:
    PackageDownloadTest() : steps(loop, prompts) {
        session.host.ProgID = QStringLiteral("QGR");
        session.host.ExeVers = QStringLiteral("3.1.0");
        session.host.AppName = QStringLiteral("quorlan-Gesundheitsratgeber");
        session.host.ExePath = host.path();
    }
    void TearDown() override {
        delete window;
        QApplication::processEvents();
    }

    // The search, then the download; the wizard's state afterwards.
    std::int32_t searchAndDownload(const QString& serverUrl) {
        session.ServerBaseUrl = serverUrl;
        window = new frmStart(session, prompts, loop, steps);
        EXPECT_TRUE(window->Form_Load());
        window->StartAskForUpdates();
        EXPECT_EQ(window->wizardState(), wizard::DownloadProgramUpdates);
        window->StartAskForUpdates();
        return window->wizardState();
    }
    QString updates(const QString& name = {}) const {
        return host.filePath(QStringLiteral("Updates")) + (name.isEmpty() ? "" : "/" + name);
    }
    QString message() { return window->messageArea(tab::Download).text(); }

    QTemporaryDir host;
    Session session;
    test::ScriptedPrompts prompts;
    QtEventLoop loop;
    ProgramWizardSteps steps;
    frmStart* window = nullptr;
};

TEST_F(PackageDownloadTest, TheSampleUpdatesArriveUnpackedWithTermsAndManifest) {
    server::UpdateServer server(test::signedCatalog(), DeploymentSettings::fromEnvironment(), {});
    const int port = server.start("127.0.0.1", 0);
    ASSERT_EQ(searchAndDownload(QStringLiteral("http://127.0.0.1:%1").arg(port)),
              wizard::InstallProgramUpdates);

    EXPECT_EQ(message(), DownloadDoneText);
    EXPECT_EQ(window->boxes().downloadList().text(),
              QStringLiteral(" OK       3.2.0 Programm-Update 3.2.0\r\n"
                             " OK       3.3.0 Programm-Update 3.3.0"));
    // Both files of the first update, and each archive unpacked (the second one encrypted), its
    // setup program still executable.
    EXPECT_TRUE(QFile::exists(updates("3.2.0/qgr-3.2.0.zip")));
    EXPECT_TRUE(QFile::exists(updates("3.2.0/liesmich.txt")));
    for (const char* setup : {"3.2.0/setup.sh", "3.3.0/setup.sh"})
        EXPECT_TRUE(QFile::permissions(updates(setup)) & QFileDevice::ExeOwner) << setup;
    EXPECT_EQ(readFile(updates("lizenz.txt")),
              readFile(SAMPLE_CATALOG_DIR "/files/downloads/lizenz.txt"));
    const QByteArray manifest = readFile(updates("UpdateInfo.xml"));
    EXPECT_TRUE(manifest.startsWith("<updates><update>")) << manifest.left(40).constData();
    EXPECT_TRUE(manifest.endsWith("</update></updates>\r\n"));
    EXPECT_LT(manifest.indexOf("<version>3.2.0</version>"),
              manifest.indexOf("<version>3.3.0</version>"));
    EXPECT_EQ(readFile(updates("Hardware.xml")),
              QByteArray("<hardware><produkt>QGR</produkt><programmstand>3.3.0</programmstand>"
                         "<arbeitsspeicher>512 MB</arbeitsspeicher></hardware>\r\n"));
    EXPECT_TRUE(prompts.shown().empty());
}

// One update entry of a hand-made answer, served with its files.
struct EntryCase {
    const char* what;
    QString version;
    QString files;
    QString filesToExtract;
    bool termsServed;
    bool downloads;
};

TEST_F(PackageDownloadTest, HostileNamesAndMissingFilesFailWithoutWritingOutside) {
    session.deployment.signingKeys.clear(); // hand-made answers, checked as before signatures
    const QByteArray archive =
        readFile(SAMPLE_CATALOG_DIR "/files/downloads/qgr/3.2.0/qgr-3.2.0.zip");
    const EntryCase cases[] = {
        {"an archive that is only fetched", "9.0.0", "a.zip;b.txt", "other.zip", true, true},
        {"a version that climbs out", "../../escaped", "a.zip", "a.zip", true, false},
        {"an absolute version", "/tmp", "a.zip", "a.zip", true, false},
        {"a file name with a separator", "9.0.1", "sub/a.zip", "", true, false},
        {"a file name that is a pattern", "9.0.2", "*.zip", "", true, false},
        {"a trailing separator in the list", "9.0.3", "a.zip;", "", true, false},
        {"no terms of use", "9.0.4", "a.zip", "a.zip", false, false},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::LocalHttpServer peer;
        const std::string answer =
            "<updates><update><version>" + c.version.toStdString() +
            "</version><name>Test</name><min>3.1.0</min><max>3.1.9</max><files>" +
            c.files.toStdString() + "</files><filestoextract>" + c.filesToExtract.toStdString() +
            "</filestoextract><pw></pw><path>files</path><start_file>setup.sh</start_file>"
            "<new_dlls>True</new_dlls><new_master_version>False</new_master_version>"
            "<no_startup_args>False</no_startup_args></update></updates>";
        peer.http().Get("/update.aspx", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content(answer, "text/xml");
        });
        peer.http().Get(R"(/files/(.*))", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content(archive.toStdString(), "application/zip");
        });
        if (c.termsServed)
            peer.http().Get("/downloads/lizenz.txt",
                            [](const httplib::Request&, httplib::Response& r) {
                                r.set_content("Nutzungsbedingungen", "text/plain");
                            });
        peer.start();
        QDir().mkpath(updates());
        QFile old(updates("UpdateInfo.xml"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("<updates>old</updates>\r\n");
        old.close();

        const std::int32_t state = searchAndDownload(QString::fromStdString(peer.url()));
        if (c.downloads) {
            EXPECT_EQ(state, wizard::InstallProgramUpdates);
            EXPECT_TRUE(QFile::exists(updates(c.version + "/b.txt")));
            EXPECT_FALSE(QFile::exists(updates(c.version + "/setup.sh"))) << "nothing unpacked";
            EXPECT_FALSE(QFile::exists(updates("Hardware.xml"))) << "no hardware in the answer";
        } else {
            EXPECT_EQ(state, wizard::Search);
            EXPECT_EQ(message(), FailedText);
            EXPECT_EQ(readFile(updates("UpdateInfo.xml")),
                      QByteArray("<updates>old</updates>\r\n"));
        }
        // Nothing beside the host's directory, and no file named like the climbing version.
        EXPECT_EQ(QDir(host.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("Updates")});
        EXPECT_FALSE(QFile::exists(QDir::tempPath() + "/escaped"));
        delete window;
        window = nullptr;
    }
}

TEST_F(PackageDownloadTest, AWrongPasswordIsAFailureAndAnUndecodableOneKeepsItsNumber) {
    session.deployment.signingKeys.clear();
    const QByteArray encrypted =
        readFile(SAMPLE_CATALOG_DIR "/files/downloads/qgr/3.3.0/qgr-3.3.0.zip");
    const DeploymentSettings deployment = DeploymentSettings::fromEnvironment();
    struct PasswordCase {
        QString pw;
        std::int32_t number; // shown after "Fehler : "
    };
    const PasswordCase cases[] = {
        {*server::EncodeArchivePassword(deployment, 4712, 7), errcode::DownloadFailed},
        {QStringLiteral("not a coded password"), errcode::PasswordDecodeError},
    };
    for (const PasswordCase& c : cases) {
        SCOPED_TRACE(c.number);
        test::LocalHttpServer peer;
        const std::string answer =
            "<updates><update><version>3.3.0</version><name>Test</name><min>3.1.0</min>"
            "<max>3.1.9</max><files>qgr-3.3.0.zip</files><filestoextract>qgr-3.3.0.zip"
            "</filestoextract><pw>" +
            c.pw.toStdString() +
            "</pw><path>files</path><start_file>setup.sh</start_file><new_dlls>True</new_dlls>"
            "<new_master_version>False</new_master_version><no_startup_args>False"
            "</no_startup_args></update></updates>";
        peer.http().Get("/update.aspx", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content(answer, "text/xml");
        });
        peer.http().Get("/files/qgr-3.3.0.zip", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content(encrypted.toStdString(), "application/zip");
        });
        peer.start();
        EXPECT_EQ(searchAndDownload(QString::fromStdString(peer.url())), wizard::Search);
        EXPECT_TRUE(message().contains(QStringLiteral("Fehler : %1").arg(c.number)));
        EXPECT_FALSE(QFile::exists(updates("3.3.0/setup.sh")));
        EXPECT_FALSE(QFile::exists(updates("UpdateInfo.xml")));
        delete window;
        window = nullptr;
    }
}

} // namespace
} // namespace upd
