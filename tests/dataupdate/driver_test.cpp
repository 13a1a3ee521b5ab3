// The drivers: which sets they write, the installation log, failures, and the sample payloads.

#include "dataupdate/host_fixture.h"
#include "dataupdate/sqlite_connection.h"

#include <QFile>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;

const QString Opening = QStringLiteral(" Öffne Programm-Datenbank ...");
const QString Opened = Opening + " OK";
const QString Close =
    QStringLiteral("\r\n Schließe Programm-Datenbank ... OK\r\n Installation beendet.");
const QString Nutrients = QStringLiteral("\r\n Übertrage die neuen Nährstoffe ...");
const QString TypeMismatch = QStringLiteral("modDataUpdate: Typen unverträglich");

QString nutrient(int item, int synonym = 10) {
    return QStringLiteral("<r><id_item>%1</id_item><id_synonim>%2</id_synonim>"
                          "<Name>Stoff %1</Name></r>")
        .arg(item)
        .arg(synonym);
}

// The database is closed: another connection can take the write lock at once.
bool databaseIsFree(const test::SampleHost& host) {
    SqliteConnection other;
    if (!other.open(host.databaseFile(), SqliteConnection::Mode::ReadWrite, 0))
        return false;
    QSqlQuery lock(other.database());
    return lock.exec(QStringLiteral("BEGIN EXCLUSIVE")) && lock.exec(QStringLiteral("ROLLBACK"));
}

TEST(Driver, WritesTheSetsItKnowsLogsEachAndStopsAtTheFirstFailure) {
    const QString laboratory =
        QStringLiteral("<d><new_laborw><c><r><id_item>5</id_item>"
                       "<id_synonim>50</id_synonim></r></c></new_laborw></d>");
    // "%1" in `errText` stands for the database file.
    struct Case {
        const char* what;
        ProductFamily family;
        const char* progId;
        QString payload, errText;
        bool succeeded;
        QString log;
        test::Tables tables = {};
        bool withoutDatabase = false;
    };
    std::vector<Case> cases = {
        Case("nutrients with their texts", ProductFamily::Naehrstoffe, "QBR",
             "<dataupdate><new_naehrst><c>" + nutrient(1) + nutrient(2) +
                 "</c></new_naehrst><naehrst_texte><c><r><id_item>1</id_item><id_baustein>28"
                 "</id_baustein><id_text>T1</id_text><id_synonim>10</id_synonim><text>Wissen</text>"
                 "</r></c></naehrst_texte></dataupdate>",
             "", true,
             Opened + Nutrients + " OK\r\n Übertrage die neuen Nährstofftexte ... OK" + Close,
             {{"SELECT ID, NR FROM Nährstoffbegriffe ORDER BY ID", {"1|10", "2|10"}},
              {"SELECT id_text_wissen FROM Nährstoffe", {"T1"}}}),
        Case("unknown and empty sets passed over, repeated ones written",
             ProductFamily::Naehrstoffe, "QBR",
             "<d><new_indik><c>" + nutrient(1) +
                 "</c></new_indik><new_naehrst><c/></new_naehrst>"
                 "<new_naehrst><c>" +
                 nutrient(1) + "</c></new_naehrst><new_naehrst><c>" + nutrient(2, 11) +
                 "</c></new_naehrst></d>",
             "", true, Opened + Nutrients + " OK" + Nutrients + " OK" + Close,
             {{"SELECT count(*) FROM Nährstoffbegriffe", {"2"}}}),
        Case("a failing set keeps what it wrote and stops", ProductFamily::Naehrstoffe, "QBR",
             "<d><new_naehrst><c>" + nutrient(1) + "<r><id_item>9</id_item></r>" + nutrient(2) +
                 "</c></new_naehrst><new_naehrst><c>" + nutrient(3) + "</c></new_naehrst></d>",
             "Datensatz fehlerhaft.", false, Opened + Nutrients,
             {{"SELECT ID FROM Nährstoffbegriffe ORDER BY ID", {"1", "2"}}}),
        Case("a set without container", ProductFamily::Naehrstoffe, "QBR", "<d><new_naehrst/></d>",
             "modDataUpdate: Objektvariable oder With-Blockvariable nicht festgelegt", false,
             Opened),
        Case("a comment instead of a set", ProductFamily::Naehrstoffe, "QBR",
             "<d><!-- note --><new_naehrst><c/></new_naehrst></d>", TypeMismatch, false, Opened),
        Case("a comment instead of a record", ProductFamily::Naehrstoffe, "QBR",
             "<d><new_naehrst><c><!-- note --></c></new_naehrst></d>", TypeMismatch, false,
             Opened + Nutrients),
        // A document that starts with a declaration has no root element where the payload's is.
        Case("a declaration first", ProductFamily::Naehrstoffe, "QBR",
             "<?xml version=\"1.0\"?><d/>", TypeMismatch, false, Opened),
        Case("no database", ProductFamily::IndikLexikonShg, "QHR", "<d/>",
             "modDataUpdate: Die Datei '%1' wurde nicht gefunden.", false, Opening, {}, true),
    };
    // Product codes are compared exactly; one without a driver installs nothing, silently.
    const test::Tables nothing = {{"SELECT count(*) FROM LaborwerteLexikon", {"0"}}};
    for (const char* code : {"qar", "QAR "})
        cases.push_back(
            {code, ProductFamily::IndikLaborwerte, code, laboratory, "", false, "", nothing});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::SampleHost host(c.family);
        if (c.withoutDatabase)
            QFile::remove(host.databaseFile());
        test::Payload payload(c.payload);
        test::RecordingSink sink;
        const DataInstallOutcome outcome =
            installDataPayload(host.location(), c.progId, payload.root(), sink);
        EXPECT_EQ(outcome.succeeded, c.succeeded);
        EXPECT_EQ(outcome.errText,
                  QString(c.errText).replace("%1", host.location().databaseFile()));
        EXPECT_EQ(sink.log, c.log);
        test::expectTables(host, c.tables);
        EXPECT_TRUE(c.withoutDatabase || databaseIsFree(host));
    }
}

// Every data payload of the sample catalog installs into a sample host of its product.
TEST(SamplePayloads, EachInstallsEverySetIntoItsProductsHost) {
    const struct {
        const char* progId;
        ProductFamily family;
        int sets;
    } cases[] = {
        {"QGR", ProductFamily::IndikLexikonShg, 6},  {"QHR", ProductFamily::IndikLexikonShg, 6},
        {"QBR", ProductFamily::Naehrstoffe, 2},      {"QAR", ProductFamily::IndikLaborwerte, 4},
        {"QJRK", ProductFamily::IndikLaborwerte, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.progId);
        const QString progId = QString::fromLatin1(c.progId);
        QFile file(SAMPLE_CATALOG_DIR "/data/" + progId.toLower() + "-2024.06.xml");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        XmlDocument document;
        ASSERT_TRUE(document.loadXml(QString::fromUtf8(file.readAll())));
        test::SampleHost host(c.family, true);
        test::RecordingSink sink;
        const DataInstallOutcome outcome =
            installDataPayload(host.location(), progId, document.documentElement(), sink);
        EXPECT_TRUE(outcome.succeeded) << outcome.errText.toStdString();
        // Opening, each set and closing end with " OK".
        EXPECT_EQ(sink.log.count(QStringLiteral(" OK")), c.sets + 2) << sink.log.toStdString();
    }
}

} // namespace
} // namespace upd::dataupdate
