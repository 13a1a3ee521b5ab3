// The downloads of signed updates through a hostile network: the real window against the bundled
// server, with a proxy between them that changes what passes.

#include "app/program_steps.h"
#include "support/hostile_proxy.h"
#include "support/scripted_prompts.h"
#include "support/signed_catalog.h"
#include "ui/frm_start.h"
#include "updateserver/update_server.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

using test::HostileProxy;

const server::SigningKey& sampleKey() {
    static const auto key = server::SigningKey::readFile(test::sampleSigningKeyFile());
    return key;
}

// A maker's key that the default build does not know.
const server::SigningKey& otherKey() {
    static const auto key = server::SigningKey::generate();
    return key;
}

QString setting(std::initializer_list<const server::SigningKey*> keys) {
    QStringList items;
    for (const server::SigningKey* key : keys)
        items << QString::fromStdString(key->publicKey());
    return items.join(u' ');
}

std::string sampleFile(const char* relative) {
    QFile file(QStringLiteral(SAMPLE_CATALOG_DIR "/files/") + QString::fromLatin1(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// Changes one byte in the middle of what arrives for a path that contains `part`.
HostileProxy::Tamper changeByteOf(std::string part) {
    return [part](HostileProxy::Answer& answer) {
        if (answer.path.find(part) != std::string::npos && !answer.body.empty())
            answer.body[answer.body.size() / 2] ^= 0x20;
    };
}

// Replaces the first `from` in the program-update answer by `to`.
HostileProxy::Tamper inAnswer(std::string from, std::string to) {
    return [from, to](HostileProxy::Answer& answer) {
        if (answer.path.starts_with("/update.aspx"))
            test::replaceFirst(answer.body, from, to);
    };
}

const HostileProxy::Tamper NoSignature = [](HostileProxy::Answer& answer) {
    test::removeElement(answer.body, "signature");
};

// The window for a QGR host, its server signing with the case's key and the proxy between them.
class SignedDownloadTest : public ::testing::Test {
protected:
    SignedDownloadTest() : steps(loop, prompts) {
        session.host.ProgID = QStringLiteral("QGR");
        session.host.ExeVers = QStringLiteral("3.1.0");
        session.host.DBVers = QStringLiteral("2024.01");
        session.host.AppName = QStringLiteral("quorlan-Gesundheitsratgeber");
        session.host.ExePath = host.path();
    }
    void TearDown() override { close(); }

    void open(const server::SigningKey& serverKey, const QString& keys,
              HostileProxy::Tamper tamper) {
        server = std::make_unique<server::UpdateServer>(
            test::signedCatalog(server::Catalog::load(SAMPLE_CATALOG_DIR), serverKey),
            DeploymentSettings::fromEnvironment(), server::UpdateServer::LogSink{});
        session.ServerBaseUrl =
            QStringLiteral("http://127.0.0.1:%1").arg(server->start("127.0.0.1", 0));
        session.deployment.signingKeys = keys;
        proxy = std::make_unique<HostileProxy>(std::move(tamper));
        window = new frmStart(session, prompts, loop, steps);
        ASSERT_TRUE(window->Form_Load());
    }
    void close() {
        delete window;
        window = nullptr;
        QApplication::processEvents();
        proxy.reset();
        server.reset();
    }
    // Every file below the host's directory, "/" between the parts.
    QStringList hostFiles() const {
        QStringList files;
        QDirIterator walk(host.path(), QDir::Files, QDirIterator::Subdirectories);
        while (walk.hasNext())
            files << walk.next().mid(host.path().size() + 1);
        files.sort();
        return files;
    }
    QString message() { return window->messageArea(tab::Download).text(); }

    QTemporaryDir host;
    Session session;
    test::ScriptedPrompts prompts;
    QtEventLoop loop;
    ProgramWizardSteps steps;
    std::unique_ptr<server::UpdateServer> server;
    std::unique_ptr<HostileProxy> proxy;
    frmStart* window = nullptr;
};

TEST_F(SignedDownloadTest, OnlyWhatTheMakerSignedIsFetchedAndUnpacked) {
    const QString notGenuine = QStringLiteral(" ist kein echtes Update des Herstellers.\r\n");
    const QString wrong = notGenuine + QStringLiteral("Die Signatur des Herstellers ist "
                                                      "ungültig.\r\nEs wurde nichts "
                                                      "heruntergeladen.");
    const QString changed = notGenuine + QStringLiteral("Der Inhalt wurde nach der Signatur "
                                                        "verändert.\r\nDie Datei wurde gelöscht.");
    const auto swapArchives = [](HostileProxy::Answer& answer) {
        if (answer.path.ends_with("/qgr-3.2.0.zip"))
            answer.body = sampleFile("downloads/qgr/3.3.0/qgr-3.3.0.zip");
        else if (answer.path.ends_with("/qgr-3.3.0.zip"))
            answer.body = sampleFile("downloads/qgr/3.2.0/qgr-3.2.0.zip");
    };
    const server::SigningKey* sample = &sampleKey();
    const server::SigningKey* other = &otherKey();
    const QString trusted = setting({sample});
    const struct {
        const char* what;
        const server::SigningKey* serverKey;
        QString keys;
        HostileProxy::Tamper tamper;
        QString failure;        // after "Fehler : 800400002"; empty: both updates arrive
        bool firstKept = false; // the genuine first update stays downloaded
    } cases[] = {
        {"untouched", sample, trusted, {}, {}},
        {"a second key in the setting", sample, setting({other, sample}), {}, {}},
        {"signed with the second key", other, setting({sample, other}), {}, {}},
        {"no keys: nothing checked, as before", sample, QString(), NoSignature, {}},
        {"a changed byte in an archive", sample, trusted, changeByteOf("/qgr-3.3.0.zip"),
         "Die Datei qgr-3.3.0.zip" + changed, true},
        {"two entries' archives swapped", sample, trusted, swapArchives,
         "Die Datei qgr-3.2.0.zip" + changed},
        {"min changed", sample, trusted, inAnswer("<min>3.1.0<", "<min>3.0.0<"),
         "Die Datei qgr-3.2.0.zip" + wrong},
        {"max changed", sample, trusted, inAnswer("<max>3.2.9<", "<max>3.9.9<"),
         "Die Datei qgr-3.3.0.zip" + wrong},
        {"start_file changed", sample, trusted, inAnswer("<start_file>setup", "<start_file>x"),
         "Die Datei qgr-3.2.0.zip" + wrong},
        {"a signature removed", sample, trusted, NoSignature,
         "Die Datei qgr-3.2.0.zip" + notGenuine +
             "Die Signatur des Herstellers fehlt.\r\nEs wurde nichts heruntergeladen."},
        {"signed by another key", other, trusted, {}, "Die Datei qgr-3.2.0.zip" + wrong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(host.path()).removeRecursively();
        QDir().mkpath(host.path());
        open(*c.serverKey, c.keys, c.tamper);
        window->StartAskForUpdates();
        ASSERT_EQ(window->wizardState(), wizard::DownloadProgramUpdates);
        window->StartAskForUpdates();
        const QStringList files = hostFiles();
        if (c.failure.isEmpty()) {
            EXPECT_EQ(window->wizardState(), wizard::InstallProgramUpdates)
                << message().toStdString();
            EXPECT_TRUE(files.contains("Updates/3.3.0/setup.sh"));
            EXPECT_TRUE(files.contains("Updates/UpdateInfo.xml"));
        } else {
            EXPECT_EQ(window->wizardState(), wizard::Search);
            EXPECT_EQ(message(),
                      QStringLiteral("Es konnten keine neuen Versionen heruntergeladen werden. "
                                     "Bitte versuchen Sie es zu einem späteren Zeitpunkt "
                                     "nochmal.\r\nFehler : 800400002\r\n") +
                          c.failure);
            // Nothing of the refused update, no manifest.
            for (const QString& file : files)
                EXPECT_TRUE(c.firstKept && file.startsWith("Updates/3.2.0/")) << file.toStdString();
        }
        close();
    }
}

// A refused payload leaves the wizard in state 6 with an empty document: the installation of state
// 7 has nothing to write.
TEST_F(SignedDownloadTest, ADataPayloadThatIsNotTheSignedOneIsDropped) {
    session.host.ExeVers = QStringLiteral("3.3.0"); // only data updates
    const QString wrong = QStringLiteral("Die Signatur des Herstellers ist ungültig.");
    const auto noHeader = [](HostileProxy::Answer& answer) {
        test::removeHeader(answer.head, PayloadSignatureHeader);
    };
    const server::SigningKey* sample = &sampleKey();
    const QString trusted = setting({sample});
    const struct {
        const char* what;
        const server::SigningKey* serverKey;
        QString keys;
        HostileProxy::Tamper tamper;
        QString reason; // empty: the payload arrives
    } cases[] = {
        {"untouched", sample, trusted, {}, {}},
        {"no keys: nothing checked, as before", sample, QString(), noHeader, {}},
        {"a changed byte in the payload", sample, trusted, changeByteOf("MODUS=2"), wrong},
        {"the signature header removed", sample, trusted, noHeader,
         QStringLiteral("Die Signatur des Herstellers fehlt.")},
        {"signed by another key", &otherKey(), trusted, {}, wrong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        open(*c.serverKey, c.keys, c.tamper);
        window->StartAskForUpdates();
        ASSERT_EQ(window->wizardState(), wizard::DownloadDataUpdates);
        window->StartAskForUpdates();
        if (c.reason.isEmpty()) {
            EXPECT_EQ(window->wizardState(), wizard::InstallDataUpdates) << message().toStdString();
        } else {
            EXPECT_EQ(window->wizardState(), wizard::DownloadDataUpdates);
            // After the transfer's last state text.
            EXPECT_TRUE(message().endsWith(
                QStringLiteral("\r\nFehler : 800400002\r\nDie heruntergeladenen Daten sind kein "
                               "echtes Update des Herstellers.\r\n") +
                c.reason + QStringLiteral("\r\nEs wurden keine Daten übernommen.")))
                << message().toStdString();
            EXPECT_TRUE(window->ResponseDocument().documentElement().isNull());
        }
        close();
    }
}

} // namespace
} // namespace upd
