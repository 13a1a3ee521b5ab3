// Self-help groups and SetFieldsFromXml.

#include "core/runtime_error.h"
#include "dataupdate/host_fixture.h"
#include "dataupdate/set_fields_from_xml.h"
#include "dataupdate/table_procedures.h"

#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::runProcedure;
using test::SampleHost;

const QString AllColumns = QStringLiteral(
    "SELECT NR, NAME, ZUSATZ, STRASSE, Land, PLZ, ORT, TELEFON, TELEFAX, INTERNET, EMAIL, "
    "BEMERKUNG, \"Bemerkung-Datei\", GEAENDERT, NEU, TREFFER, AnlegeDatum, Aenderungsdatum "
    "FROM shg WHERE NR = '%1'");

TEST(SelfHelpGroups, BothSetsInsertOrOverwriteEveryFieldWithNullsForMissingOnes) {
    for (const char* set : {"new_shg", "shg_updates"}) {
        SampleHost host(ProductFamily::IndikLexikonShg, true);
        const auto result = runProcedure(
            host, InstallNeueSHG, QString::fromLatin1(set),
            QStringLiteral(
                "<r><NR>4711</NR><NAME>Gesprächskreis Übelkeit e.V.</NAME><ORT></ORT></r>"
                "<r><NR>5001</NR><NAME>Migräne-Treff</NAME><ZUSATZ>montags</ZUSATZ>"
                "<STRASSE>Ringstraße 5</STRASSE><Land>D</Land><PLZ>50667</PLZ><ORT>Köln</ORT>"
                "<TELEFON>0221 1</TELEFON><TELEFAX>0221 2</TELEFAX><INTERNET>www.example.org"
                "</INTERNET><EMAIL>a@example.org</EMAIL><BEMERKUNG>neu</BEMERKUNG>"
                "<Bemerkung-Datei>shg5001.htm</Bemerkung-Datei><GEAENDERT>0</GEAENDERT>"
                "<NEU>1</NEU><TREFFER>3</TREFFER><AnlegeDatum>1999-01-01</AnlegeDatum>"
                "<createdate>2024-06-01</createdate><lastupdate>2024-06-02</lastupdate></r>"));
        EXPECT_TRUE(result.ok) << set << result.errText.toStdString();
        EXPECT_EQ(host.value(AllColumns.arg(QStringLiteral("4711"))),
                  QStringLiteral("4711|Gesprächskreis Übelkeit e.V.|NULL|NULL|NULL|NULL|NULL|"
                                 "NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL"))
            << set;
        EXPECT_EQ(host.value(AllColumns.arg(QStringLiteral("5001"))),
                  QStringLiteral("5001|Migräne-Treff|montags|Ringstraße 5|D|50667|Köln|0221 1|"
                                 "0221 2|www.example.org|a@example.org|neu|shg5001.htm|0|1|3|"
                                 "2024-06-01|2024-06-02"))
            << set;
    }
}

TEST(SelfHelpGroups, ErrorsAreRecordedAndTheSetGoesOn) {
    SampleHost host(ProductFamily::IndikLexikonShg);
    // A host table without the remark file column: the assignment fails, the row is saved with
    // the fields copied before it, and the next group is written as well.
    host.execute(QStringLiteral("ALTER TABLE shg DROP COLUMN \"Bemerkung-Datei\""));
    const auto result = runProcedure(
        host, InstallNeueSHG, QStringLiteral("new_shg"),
        QStringLiteral("<r><NR>1</NR><NAME>Eins</NAME><BEMERKUNG>b</BEMERKUNG><NEU>1</NEU></r>"
                       "<r><NAME>ohne Nummer</NAME></r>"
                       "<r><NR>O'Neill</NR><NAME>Zwei</NAME></r>"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errText, QStringLiteral("modDataUpdate: Element in dieser Auflistung nicht "
                                             "gefunden (Feld 'Bemerkung-Datei')."));
    EXPECT_EQ(host.rows(QStringLiteral("SELECT NR, NAME, BEMERKUNG, NEU FROM shg ORDER BY NR")),
              QStringList({"1|Eins|b|NULL", "O'Neill|Zwei|NULL|NULL"}));

    SampleHost plain(ProductFamily::IndikLexikonShg);
    const auto faulty = runProcedure(plain, InstallNeueSHG, QStringLiteral("new_shg"),
                                     QStringLiteral("<r><NAME>ohne Nummer</NAME></r>"
                                                    "<r><NR>2</NR></r>"));
    EXPECT_EQ(faulty.errText, QStringLiteral("Datensatz fehlerhaft."));
    EXPECT_EQ(plain.rows(QStringLiteral("SELECT NR FROM shg")), QStringList({"2"}));
}

TEST(SetFieldsFromXml, CopiesByParallelListsWithEmptyOrNull) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXml(QStringLiteral("<r><a>1</a><b></b><x><a>nested</a></x></r>")));
    const XmlNode record = document.firstChild();
    const QStringList columns = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};

    RowValues row(columns);
    SetFieldsFromXml(row, QStringLiteral("a,b,c"), QStringLiteral("A,B,C"), record, true);
    ASSERT_EQ(row.values().size(), 3u);
    EXPECT_EQ(row.values()[0].second.toString(), QStringLiteral("1"));
    EXPECT_TRUE(row.values()[1].second.isNull());
    EXPECT_TRUE(row.values()[2].second.isNull());

    row.clear();
    SetFieldsFromXml(row, QStringLiteral("a,b,c"), QStringLiteral("A,B,C"), record, false);
    EXPECT_FALSE(row.values()[1].second.isNull());
    EXPECT_EQ(row.values()[1].second.toString(), QString());
    EXPECT_FALSE(row.values()[2].second.isNull());

    // Names are taken as written: " a" is no element, "A" is not "a".
    row.clear();
    SetFieldsFromXml(row, QStringLiteral(" a,A"), QStringLiteral("A,B"), record, true);
    EXPECT_TRUE(row.values()[0].second.isNull());
    EXPECT_TRUE(row.values()[1].second.isNull());

    row.clear();
    try {
        SetFieldsFromXml(row, QStringLiteral("a"), QStringLiteral("A,B"), record, true);
        FAIL() << "a short source list must fail";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), errnum::SubscriptOutOfRange);
    }
    EXPECT_EQ(row.values().size(), 1u) << "the first column stays assigned";
}

} // namespace
} // namespace upd::dataupdate
