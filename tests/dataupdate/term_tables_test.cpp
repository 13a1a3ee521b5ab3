// The four term tables on sample databases.

#include "dataupdate/host_fixture.h"
#include "dataupdate/table_procedures.h"

#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::runProcedure;
using test::SampleHost;

QString term(const QString& item, const QString& synonym, const QString& more = QString()) {
    return QStringLiteral("<r><id_item>%1</id_item><id_synonim>%2</id_synonim>%3</r>")
        .arg(item, synonym, more);
}

TEST(TermTables, ExistingTermsStayAndNewOnesGetOnlyTheFieldsTheyCarry) {
    SampleHost host(ProductFamily::IndikLexikonShg, true);
    const auto result = runProcedure(
        host, InstallNeueIndikationen, QStringLiteral("new_indik"),
        term("9000", "900",
             "<Name>Anders</Name><Hauptname>0</Hauptname><createdate>2024-06-01</createdate>") +
            term("9001", "900",
                 "<x><Name>Kopfweh</Name></x><Name>zweiter</Name><Hauptname>0</Hauptname>"
                 "<createdate>2024-06-01</createdate><lastupdate>2024-06-02</lastupdate>") +
            term("9002", "901"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(
        host.rows(QStringLiteral("SELECT ID, NR, Name, Hauptname, CREATEDATE, LASTUPDATE "
                                 "FROM Indikationsnamen ORDER BY ID")),
        QStringList({"9000|900|Kopfschmerz|1|2023-01-15|2023-01-15",
                     "9001|900|Kopfweh|0|2024-06-01|2024-06-02", "9002|901|NULL|0|NULL|NULL"}));
}

TEST(TermTables, NewSubjectsGetAnEmptyParentRowOnce) {
    SampleHost host(ProductFamily::IndikLaborwerte, true);
    const auto result = runProcedure(host, InstallNeueLaborwerte, QStringLiteral("new_laborw"),
                                     term("6001", "600", "<Name>Hb</Name>") +
                                         term("6100", "610", "<Name>Ferritin</Name>") +
                                         term("6101", "610") + term("006000", "600"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(host.rows(QStringLiteral("SELECT NR, original, \"Länge_Original\" FROM "
                                       "LaborwerteLexikontexte ORDER BY NR")),
              QStringList({"600|<h2>#name#</h2><h3>Wissenswertes</h3>Roter Blutfarbstoff.|57",
                           "610|NULL|NULL"}));
    // "006000" is the number 6000: the existing term, not a new one.
    EXPECT_EQ(
        host.rows(QStringLiteral("SELECT ID_Item, ID_Synonim, Name FROM LaborwerteLexikon "
                                 "ORDER BY ID_Item")),
        QStringList({"6000|600|Hämoglobin", "6001|600|Hb", "6100|610|Ferritin", "6101|610|NULL"}));

    const auto notANumber =
        runProcedure(host, InstallNeueLaborwerte, QStringLiteral("new_laborw"), term("6x", "600"));
    EXPECT_EQ(notANumber.errText, QStringLiteral("modDataUpdate: Typen unverträglich"));
}

TEST(TermTables, LexiconAndNutrientTermsUseTheirOwnTablesAndDates) {
    SampleHost lexicon(ProductFamily::IndikLexikonShg, true);
    auto result = runProcedure(lexicon, InstallNeueQGLexikonBegriffe,
                               QStringLiteral("new_qg_lexikon_begriffe"),
                               term("7001", "701",
                                    "<Name>Migräne</Name><createdate>2024-06-01</createdate>"
                                    "<lastupdate>2024-06-09</lastupdate>"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(lexicon.value(QStringLiteral("SELECT ID_Item, Name, createdate FROM Lexikonbegriffe "
                                           "WHERE ID_Synonim = '701'")),
              QStringLiteral("7001|Migräne|2024-06-01"));
    EXPECT_EQ(lexicon.value(QStringLiteral("SELECT original FROM Lexikontexte WHERE NR = '701'")),
              QStringLiteral("NULL"));

    // Errors of this member name it.
    result = runProcedure(lexicon, InstallNeueQGLexikonBegriffe,
                          QStringLiteral("new_qg_lexikon_begriffe"),
                          term("7002", "701", "<Hauptname>ja</Hauptname>"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.errText.startsWith(
        QStringLiteral("modDataUpdate: InstallNeueQGLexikonBegriffe: Der Wert passt nicht")))
        << result.errText.toStdString();

    SampleHost nutrients(ProductFamily::Naehrstoffe, true);
    result = runProcedure(nutrients, InstallNeueNaehrstoffBegriffe, QStringLiteral("new_naehrst"),
                          term("3001", "300", "<lastupdate>2024-06-09</lastupdate>") +
                              term("3100", "310"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(nutrients.rows(QStringLiteral("SELECT NR FROM Nährstoffe ORDER BY NR")),
              QStringList({"300", "310"}));
    EXPECT_EQ(nutrients.value(QStringLiteral("SELECT LASTUPDATE FROM Nährstoffbegriffe "
                                             "WHERE ID = '3001'")),
              QStringLiteral("2024-06-09"));
}

TEST(TermTables, FaultyRecordsDoNotStopTheSet) {
    SampleHost host(ProductFamily::IndikLaborwerte);
    const auto result =
        runProcedure(host, InstallNeueIndikationen, QStringLiteral("new_indik"),
                     term("1", "10") + QStringLiteral("<r><id_item>2</id_item></r>") +
                         QStringLiteral("<r><id_synonim>30</id_synonim></r>") + term("4", "40"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errText, QStringLiteral("Datensatz fehlerhaft."));
    EXPECT_EQ(host.rows(QStringLiteral("SELECT ID FROM Indikationsnamen ORDER BY ID")),
              QStringList({"1", "4"}));
}

TEST(TermTables, KeysWithApostrophesAreValuesNotStatements) {
    SampleHost host(ProductFamily::IndikLexikonShg);
    const QString hostile = QStringLiteral("1' OR '1'='1");
    const auto result =
        runProcedure(host, InstallNeueIndikationen, QStringLiteral("new_indik"),
                     term("O'Brien", "5", "<Name>Morbus O'Brien</Name>") + term(hostile, "5") +
                         term("O'Brien", "5", "<Name>again</Name>") +
                         term("x", "5'); DROP TABLE Indikationsnamen; --"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(host.rows(QStringLiteral("SELECT ID, NR, Name FROM Indikationsnamen ORDER BY ID")),
              QStringList({hostile + QStringLiteral("|5|NULL"),
                           QStringLiteral("O'Brien|5|Morbus O'Brien"),
                           QStringLiteral("x|5'); DROP TABLE Indikationsnamen; --|NULL")}));
}

TEST(TermTables, ASetOfMoreThan32767RecordsIsWrittenWhole) {
    SampleHost host(ProductFamily::IndikLexikonShg);
    QString records;
    records.reserve(40'000 * 64);
    for (int i = 1; i <= 40'000; ++i)
        records += term(QString::number(i), QString::number(i % 977));
    test::Payload payload(test::setXml(QStringLiteral("new_indik"), records));
    ProductDatabase database;
    QString errText;
    ASSERT_TRUE(database.open(host.location(), errText));
    test::RecordingSink sink;
    database.beginSet();
    EXPECT_TRUE(InstallNeueIndikationen(database.database(), payload.container(), errText, sink));
    database.commitSet();
    ASSERT_TRUE(database.close(errText));
    EXPECT_EQ(host.value(QStringLiteral("SELECT count(*), max(CAST(ID AS INTEGER)) FROM "
                                        "Indikationsnamen")),
              QStringLiteral("40000|40000"));
    EXPECT_EQ(sink.progress.back(), std::make_pair(std::int64_t(40'000), std::int64_t(40'000)));
    EXPECT_LT(sink.progress.size(), 5'000u);
}

} // namespace
} // namespace upd::dataupdate
