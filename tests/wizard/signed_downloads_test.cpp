// The downloads of signed updates through a hostile network: the real window against the bundled
// server, with a proxy between them that changes what passes.

#include "support/hostile_proxy.h"
#include "wizard_under_test.h"

#include <QDirIterator>

namespace upd {
namespace {

using test::HostileProxy;

QString setting(std::initializer_list<const server::SigningKey*> keys) {
    QStringList items;
    for (const server::SigningKey* key : keys)
        items << QString::fromStdString(key->publicKey());
    return items.join(u' ');
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

struct SignedCase {
    const char* what;
    const server::SigningKey* serverKey; // the server signs with it
    QString keys;                        // the setting of trusted keys
    HostileProxy::Tamper tamper;
    QString failure;        // empty: the download succeeds
    bool firstKept = false; // the genuine first program update stays downloaded
};

class SignedDownloadTest : public ::testing::Test, public test::WizardUnderTest {
protected:
    // The search finds what it should; the download runs through the case's proxy.
    void searchAndDownload(const SignedCase& c, std::int32_t found) {
        const test::BundledServer bundled(
            test::signedCatalog(server::Catalog::load(SAMPLE_CATALOG_DIR), *c.serverKey));
        session.deployment.signingKeys = c.keys;
        const HostileProxy proxy(c.tamper);
        open(bundled.url);
        press();
        ASSERT_EQ(window->wizardState(), found);
        press();
    }
    QString message() { return WizardUnderTest::message(tab::Download); }
    // Every file below the host's directory, "/" between the parts.
    QStringList hostFiles() const {
        QStringList files;
        QDirIterator walk(hostDir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (walk.hasNext())
            files << walk.next().mid(hostDir.path().size() + 1);
        return files;
    }

    const server::SigningKey sampleKey = server::SigningKey::readFile(test::sampleSigningKeyFile());
    const server::SigningKey otherKey = server::SigningKey::generate(); // not known to the build
    const server::SigningKey* sample = &sampleKey;
    const server::SigningKey* other = &otherKey;
    const QString trusted = setting({sample});
};

TEST_F(SignedDownloadTest, OnlyWhatTheMakerSignedIsFetchedAndUnpacked) {
    const QString wrong = test::NotGenuine + QStringLiteral("Die Signatur des Herstellers ist "
                                                            "ungültig.\r\nEs wurde nichts "
                                                            "heruntergeladen.");
    const QString changed = test::NotGenuine + QStringLiteral("Der Inhalt wurde nach der Signatur "
                                                              "verändert.\r\nDie Datei wurde "
                                                              "gelöscht.");
    const auto swapArchives = [](HostileProxy::Answer& answer) {
        if (answer.path.ends_with("/qgr-3.2.0.zip"))
            answer.body =
                test::readFile(test::sampleDownload("qgr/3.3.0/qgr-3.3.0.zip")).toStdString();
        else if (answer.path.ends_with("/qgr-3.3.0.zip"))
            answer.body =
                test::readFile(test::sampleDownload("qgr/3.2.0/qgr-3.2.0.zip")).toStdString();
    };
    const auto noSignature = [](HostileProxy::Answer& answer) {
        test::removeElement(answer.body, "signature");
    };
    const SignedCase cases[] = {
        {"signed with the second of two keys", other, setting({sample, other}), {}, {}},
        {"no keys: nothing checked, as before", sample, QString(), noSignature, {}},
        {"a changed byte in an archive", sample, trusted, changeByteOf("/qgr-3.3.0.zip"),
         "Die Datei qgr-3.3.0.zip" + changed, true},
        {"two entries' archives swapped", sample, trusted, swapArchives,
         "Die Datei qgr-3.2.0.zip" + changed},
        {"min changed", sample, trusted, inAnswer("<min>3.1.0<", "<min>3.0.0<"),
         "Die Datei qgr-3.2.0.zip" + wrong},
        {"a signature removed", sample, trusted, noSignature,
         "Die Datei qgr-3.2.0.zip" + test::NotGenuine +
             "Die Signatur des Herstellers fehlt.\r\nEs wurde nichts heruntergeladen."},
        {"signed by another key", other, trusted, {}, "Die Datei qgr-3.2.0.zip" + wrong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(hostDir.path()).removeRecursively();
        QDir().mkpath(hostDir.path());
        searchAndDownload(c, wizard::DownloadProgramUpdates);
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
    const SignedCase cases[] = {
        {"no keys: nothing checked, as before", sample, QString(), noHeader, {}},
        {"a changed byte in the payload", sample, trusted, changeByteOf("MODUS=2"), wrong},
        {"the signature header removed", sample, trusted, noHeader,
         QStringLiteral("Die Signatur des Herstellers fehlt.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        searchAndDownload(c, wizard::DownloadDataUpdates);
        if (c.failure.isEmpty()) {
            EXPECT_EQ(window->wizardState(), wizard::InstallDataUpdates) << message().toStdString();
        } else {
            EXPECT_EQ(window->wizardState(), wizard::DownloadDataUpdates);
            // After the transfer's last state text.
            EXPECT_TRUE(message().endsWith(
                QStringLiteral("\r\nFehler : 800400002\r\nDie heruntergeladenen Daten sind kein "
                               "echtes Update des Herstellers.\r\n") +
                c.failure + QStringLiteral("\r\nEs wurden keine Daten übernommen.")))
                << message().toStdString();
            EXPECT_TRUE(window->ResponseDocument().documentElement().isNull());
        }
    }
}

} // namespace
} // namespace upd
