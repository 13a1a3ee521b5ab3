// The download of program updates as the user runs it: the real window against the bundled server
// and against hand-made answers, into a temporary host directory.

#include "core/error_catalogue.h"
#include "support/local_http_server.h"
#include "updateserver/password_encoder.h"
#include "wizard_under_test.h"

#include <QDir>

namespace upd {
namespace {

using test::readFile;
using test::sampleDownload;

class PackageDownloadTest : public ::testing::Test, public test::WizardUnderTest {
protected:
    QString updates(const QString& name = {}) const {
        return hostDir.filePath(QStringLiteral("Updates/") + name);
    }
};

TEST_F(PackageDownloadTest, TheSampleUpdatesArriveUnpackedWithTermsAndManifest) {
    const test::BundledServer bundled;
    open(bundled.url);
    press();
    press();
    ASSERT_EQ(window->wizardState(), wizard::InstallProgramUpdates);
    EXPECT_EQ(message(tab::Download),
              QStringLiteral("Download erfolgreich abgeschlossen!\r\nKlicken Sie bitte auf "
                             "'Weiter', um die Installation der Updates zu starten."));
    EXPECT_EQ(window->boxes().downloadList().text(),
              QStringLiteral(" OK       3.2.0 Programm-Update 3.2.0\r\n"
                             " OK       3.3.0 Programm-Update 3.3.0"));
    // Both files of the first update, and each archive unpacked (the second one encrypted), its
    // setup program still executable.
    EXPECT_TRUE(QFile::exists(updates("3.2.0/qgr-3.2.0.zip")));
    EXPECT_TRUE(QFile::exists(updates("3.2.0/liesmich.txt")));
    for (const char* setup : {"3.2.0/setup.sh", "3.3.0/setup.sh"})
        EXPECT_TRUE(QFile::permissions(updates(setup)) & QFileDevice::ExeOwner) << setup;
    EXPECT_EQ(readFile(updates("lizenz.txt")), readFile(sampleDownload("lizenz.txt")));
    const QByteArray manifest = readFile(updates("UpdateInfo.xml"));
    EXPECT_LT(manifest.indexOf("<version>3.2.0<"), manifest.indexOf("<version>3.3.0<"));
    EXPECT_GE(manifest.indexOf("<version>3.2.0<"), 0);
    EXPECT_EQ(readFile(updates("Hardware.xml")),
              QByteArray("<hardware><produkt>QGR</produkt><programmstand>3.3.0</programmstand>"
                         "<arbeitsspeicher>512 MB</arbeitsspeicher></hardware>\r\n"));
    EXPECT_TRUE(prompts.shown().empty());
}

// One update entry of a hand-made answer, served with its files. A failure keeps the previous
// manifest and writes nothing outside the host's directory.
TEST_F(PackageDownloadTest, HostileEntriesFailWithTheirNumberWithoutWritingOutside) {
    session.deployment.signingKeys.clear(); // hand-made answers, checked as before signatures
    const QByteArray plain = readFile(sampleDownload("qgr/3.2.0/qgr-3.2.0.zip"));
    const QByteArray encrypted = readFile(sampleDownload("qgr/3.3.0/qgr-3.3.0.zip"));
    const struct {
        const char* what;
        QString version, files, filesToExtract;
        bool termsServed = true;
        QString pw = {};                            // the encrypted archive is served with it
        QString failure = test::DownloadFailedText; // empty: the files arrive
    } cases[] = {
        {"an archive that is only fetched", "9.0.0", "a.zip;b.txt", "other.zip", true, {}, {}},
        {"a version that climbs out", "../../escaped", "a.zip", "a.zip"},
        {"a file name with a separator", "9.0.1", "sub/a.zip", ""},
        {"a trailing separator in the list", "9.0.3", "a.zip;", ""},
        {"no terms of use", "9.0.4", "a.zip", "a.zip", false},
        {"a wrong password", "9.0.5", "a.zip", "a.zip", true,
         *server::EncodeArchivePassword(DeploymentSettings::fromEnvironment(), 4712, 7)},
        {"an undecodable password keeps its number", "9.0.6", "a.zip", "a.zip", true,
         "not a coded password", QStringLiteral("Fehler : %1").arg(errcode::PasswordDecodeError)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::LocalHttpServer peer;
        const std::string answer =
            "<updates><update><version>" + c.version.toStdString() +
            "</version><name>Test</name><min>3.1.0</min><max>3.1.9</max><files>" +
            c.files.toStdString() + "</files><filestoextract>" + c.filesToExtract.toStdString() +
            "</filestoextract><pw>" + c.pw.toStdString() +
            "</pw><path>files</path><start_file>setup.sh</start_file>"
            "<new_dlls>True</new_dlls><new_master_version>False</new_master_version>"
            "<no_startup_args>False</no_startup_args></update></updates>";
        peer.http().Get("/update.aspx", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content(answer, "text/xml");
        });
        peer.http().Get(R"(/files/(.*))", [&](const httplib::Request&, httplib::Response& r) {
            r.set_content((c.pw.isEmpty() ? plain : encrypted).toStdString(), "application/zip");
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

        open(QString::fromStdString(peer.url()));
        press();
        ASSERT_EQ(window->wizardState(), wizard::DownloadProgramUpdates);
        press();
        if (c.failure.isEmpty() || !c.pw.isEmpty()) {
            EXPECT_FALSE(QFile::exists(updates(c.version + "/setup.sh"))) << "nothing unpacked";
        }
        if (c.failure.isEmpty()) {
            EXPECT_EQ(window->wizardState(), wizard::InstallProgramUpdates);
            EXPECT_TRUE(QFile::exists(updates(c.version + "/b.txt")));
            EXPECT_FALSE(QFile::exists(updates("Hardware.xml"))) << "no hardware in the answer";
        } else {
            EXPECT_EQ(window->wizardState(), wizard::Search);
            EXPECT_TRUE(message(tab::Download)
                            .startsWith("Es konnten keine neuen Versionen heruntergeladen werden. "
                                        "Bitte versuchen Sie es zu einem späteren Zeitpunkt "
                                        "nochmal.\r\n" +
                                        c.failure))
                << message(tab::Download).toStdString();
            EXPECT_EQ(readFile(updates("UpdateInfo.xml")), "<updates>old</updates>\r\n");
        }
        // Nothing beside the host's directory, and no file named like the climbing version.
        EXPECT_EQ(QDir(hostDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("Updates")});
        EXPECT_FALSE(QFile::exists(QDir::tempPath() + "/escaped"));
    }
}

} // namespace
} // namespace upd
