// The drivers: which sets they write, the installation log, the progress, and failures.

#include "dataupdate/host_fixture.h"
#include "dataupdate/sqlite_connection.h"

#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::Payload;
using test::RecordingSink;
using test::SampleHost;

const QString Open = QStringLiteral(" Öffne Programm-Datenbank ... OK");
const QString Close =
    QStringLiteral("\r\n Schließe Programm-Datenbank ... OK\r\n Installation beendet.");

QString nutrient(int item, int synonym) {
    return QStringLiteral("<r><id_item>%1</id_item><id_synonim>%2</id_synonim>"
                          "<Name>Stoff %1</Name></r>")
        .arg(item)
        .arg(synonym);
}

struct InstallRun {
    DataInstallOutcome outcome;
    RecordingSink sink;
};

InstallRun install(const SampleHost& host, const QString& progId, const QString& xml) {
    Payload payload(xml);
    InstallRun run;
    run.outcome = installDataPayload(host.location(), progId, payload.root(), run.sink);
    return run;
}

// The database is closed: another connection can take the write lock at once.
bool databaseIsFree(const SampleHost& host) {
    SqliteConnection other;
    if (!other.open(host.databaseFile(), SqliteConnection::Mode::ReadWrite, 0))
        return false;
    QSqlQuery lock(other.database());
    return lock.exec(QStringLiteral("BEGIN EXCLUSIVE")) && lock.exec(QStringLiteral("ROLLBACK"));
}

TEST(Driver, NutrientPayloadWritesBothSetsWithTheFiveLineLog) {
    SampleHost host(ProductFamily::Naehrstoffe);
    const InstallRun run = install(
        host, QStringLiteral("QBR"),
        QStringLiteral("<dataupdate><new_naehrst><c>%1%2</c></new_naehrst><naehrst_texte><c>"
                       "<r><id_item>1</id_item><id_baustein>28</id_baustein><id_text>T1</id_text>"
                       "<id_synonim>10</id_synonim><text>Wissen</text></r></c></naehrst_texte>"
                       "</dataupdate>")
            .arg(nutrient(1, 10), nutrient(2, 10)));
    EXPECT_TRUE(run.outcome.succeeded) << run.outcome.errText.toStdString();
    EXPECT_EQ(run.sink.log, Open + QStringLiteral("\r\n Übertrage die neuen Nährstoffe ... OK") +
                                QStringLiteral("\r\n Übertrage die neuen Nährstofftexte ... OK") +
                                Close);
    EXPECT_EQ(host.rows(QStringLiteral("SELECT ID, NR FROM Nährstoffbegriffe ORDER BY ID")),
              QStringList({"1|10", "2|10"}));
    EXPECT_EQ(host.value(QStringLiteral("SELECT id_text_wissen FROM Nährstoffe")),
              QStringLiteral("T1"));
    // Every set ends with its last count shown.
    EXPECT_EQ(run.sink.progress.back(), std::make_pair(std::int64_t(1), std::int64_t(1)));
    EXPECT_NE(std::find(run.sink.progress.begin(), run.sink.progress.end(),
                        std::make_pair(std::int64_t(2), std::int64_t(2))),
              run.sink.progress.end());
}

TEST(Driver, PassesOverUnknownAndEmptySetsAndWritesRepeatedSets) {
    SampleHost host(ProductFamily::Naehrstoffe);
    InstallRun run = install(host, QStringLiteral("QBR"), QStringLiteral("<dataupdate/>"));
    EXPECT_TRUE(run.outcome.succeeded);
    EXPECT_EQ(run.sink.log, Open + Close);

    run =
        install(host, QStringLiteral("QBR"),
                QStringLiteral("<d><new_indik><c>%1</c></new_indik><new_naehrst><c/></new_naehrst>"
                               "<new_naehrst><c>%1</c></new_naehrst>"
                               "<new_naehrst><c>%2</c></new_naehrst></d>")
                    .arg(nutrient(1, 10), nutrient(2, 11)));
    EXPECT_TRUE(run.outcome.succeeded);
    const QString line = QStringLiteral("\r\n Übertrage die neuen Nährstoffe ... OK");
    EXPECT_EQ(run.sink.log, Open + line + line + Close);
    EXPECT_EQ(host.value(QStringLiteral("SELECT count(*) FROM Nährstoffbegriffe")),
              QStringLiteral("2"));
}

TEST(Driver, ProductCodesAreComparedExactly) {
    SampleHost host(ProductFamily::IndikLaborwerte);
    const QString payload =
        QStringLiteral("<d><new_laborw><c><r><id_item>5</id_item><id_synonim>50</id_synonim></r>"
                       "</c></new_laborw></d>");
    for (const char* code : {"qar", "Qar", "QAR ", "QM", ""}) {
        const InstallRun run = install(host, QString::fromLatin1(code), payload);
        EXPECT_FALSE(run.outcome.succeeded) << code;
        EXPECT_TRUE(run.outcome.errText.isEmpty()) << code;
        EXPECT_TRUE(run.sink.log.isEmpty()) << code;
    }
    EXPECT_EQ(host.value(QStringLiteral("SELECT count(*) FROM LaborwerteLexikon")),
              QStringLiteral("0"));
    for (const char* code : {"QAR", "QJRK"})
        EXPECT_TRUE(install(host, QString::fromLatin1(code), payload).outcome.succeeded) << code;
}

TEST(Driver, AFailingSetStopsTheInstallationAndKeepsWhatWasWritten) {
    SampleHost host(ProductFamily::Naehrstoffe);
    const InstallRun run =
        install(host, QStringLiteral("QBR"),
                QStringLiteral("<d><new_naehrst><c>%1<r><id_item>9</id_item></r>%2</c>"
                               "</new_naehrst><new_naehrst><c>%3</c></new_naehrst></d>")
                    .arg(nutrient(1, 10), nutrient(2, 10), nutrient(3, 10)));
    EXPECT_FALSE(run.outcome.succeeded);
    EXPECT_EQ(run.outcome.errText, QStringLiteral("Datensatz fehlerhaft."));
    EXPECT_EQ(run.sink.log, Open + QStringLiteral("\r\n Übertrage die neuen Nährstoffe ..."));
    EXPECT_EQ(host.rows(QStringLiteral("SELECT ID FROM Nährstoffbegriffe ORDER BY ID")),
              QStringList({"1", "2"}));
    EXPECT_TRUE(databaseIsFree(host));
}

TEST(Driver, MalformedPayloadsFailAndCloseTheDatabase) {
    SampleHost host(ProductFamily::Naehrstoffe);
    struct Case {
        const char* xml;
        const char* errText;
    };
    const Case cases[] = {
        {"<d><new_naehrst/></d>",
         "modDataUpdate: Objektvariable oder With-Blockvariable nicht festgelegt"},
        {"<d>text</d>", "modDataUpdate: Typen unverträglich"},
        {"<d><!-- note --><new_naehrst><c/></new_naehrst></d>",
         "modDataUpdate: Typen unverträglich"},
        {"<d><new_naehrst><c><!-- note --></c></new_naehrst></d>",
         "modDataUpdate: Typen unverträglich"},
    };
    for (const Case& c : cases) {
        const InstallRun run = install(host, QStringLiteral("QBR"), QString::fromUtf8(c.xml));
        EXPECT_FALSE(run.outcome.succeeded) << c.xml;
        EXPECT_EQ(run.outcome.errText, QString::fromUtf8(c.errText)) << c.xml;
        EXPECT_TRUE(databaseIsFree(host)) << c.xml;
    }
    // A document that starts with a declaration has no root element where the payload's is.
    XmlDocument declared;
    ASSERT_TRUE(declared.loadXml(QStringLiteral("<?xml version=\"1.0\"?><d/>")));
    RecordingSink sink;
    const DataInstallOutcome outcome =
        installDataPayload(host.location(), QStringLiteral("QBR"), declared.firstChild(), sink);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.errText, QStringLiteral("modDataUpdate: Typen unverträglich"));
}

TEST(Driver, OpeningFailureEndsTheLogWithTheOpeningLine) {
    SampleHost host(ProductFamily::IndikLexikonShg);
    DatabaseLocation location = host.location();
    location.DBName = QStringLiteral("fehlt.db");
    Payload payload(QStringLiteral("<d/>"));
    RecordingSink sink;
    const DataInstallOutcome outcome =
        installDataPayload(location, QStringLiteral("QHR"), payload.root(), sink);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.errText.startsWith(QStringLiteral("modDataUpdate: Die Datei '")));
    EXPECT_EQ(sink.log, QStringLiteral(" Öffne Programm-Datenbank ..."));
}

} // namespace
} // namespace upd::dataupdate
