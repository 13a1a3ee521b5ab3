// Indication, nutrient, laboratory-value and lexicon texts.

#include "dataupdate/host_fixture.h"
#include "dataupdate/table_procedures.h"

#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::runProcedure;
using test::SampleHost;

TEST(IndicationTexts, WritesKnownBlocksOnlyAndOverwritesExistingTexts) {
    SampleHost host(ProductFamily::IndikLexikonShg, true);
    const auto result = runProcedure(
        host, InstallNeueIndikationsTexte, QStringLiteral("indik_texte"),
        QStringLiteral(
            "<r><id_synonim>901</id_synonim><id_baustein>02</id_baustein>"
            "<text>„Zitat“ – kurz…</text><createdate>2024-06-01</createdate></r>"
            "<r><id_synonim>901</id_synonim><id_baustein>99</id_baustein><text>kein "
            "Block</text></r>"
            "<r><id_synonim>902</id_synonim><id_baustein>1</id_baustein><text>   </text></r>"
            "<r><id_synonim>900</id_synonim><id_baustein>1</id_baustein><text>  </text>"
            "<lastupdate>2024-06-09</lastupdate></r>"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(host.rows(QStringLiteral("SELECT Indikations_Nr, id_baustein, original, "
                                       "\"Länge_Original\", angelegt, \"geändert\" FROM "
                                       "Indikationstexte ORDER BY Indikations_Nr")),
              QStringList({"900|1||0|2023-01-15|2024-06-09",
                           "901|2|&bdquo;Zitat&ldquo; &ndash; kurz...|35|2024-06-01|NULL"}));

    const auto badBlock = runProcedure(
        host, InstallNeueIndikationsTexte, QStringLiteral("indik_texte"),
        QStringLiteral(
            "<r><id_synonim>1</id_synonim><id_baustein>40000</id_baustein></r>"
            "<r><id_synonim>1</id_synonim><id_baustein>1</id_baustein><text>x</text></r>"));
    EXPECT_EQ(badBlock.errText, QStringLiteral("modDataUpdate: Überlauf"));
    EXPECT_EQ(host.value(QStringLiteral("SELECT count(*) FROM Indikationstexte WHERE "
                                        "Indikations_Nr = '1'")),
              QStringLiteral("0"));
}

TEST(LaboratoryValueTexts, CarryTheirHeadingAndEmptyTheTextWithoutTextElement) {
    SampleHost host(ProductFamily::IndikLaborwerte, true);
    const auto result =
        runProcedure(host, InstallNeueLaborwerteTexte, QStringLiteral("laborw_texte"),
                     QStringLiteral("<r><id_item>1</id_item><id_baustein>1</id_baustein>"
                                    "<id_synonim>600</id_synonim></r>"
                                    "<r><id_item>2</id_item><id_baustein>1</id_baustein>"
                                    "<id_synonim>O'Hara</id_synonim><text>Eisen</text></r>"
                                    "<r><id_baustein>1</id_baustein><id_synonim>9</id_synonim>"
                                    "<text>ohne id_item</text></r>"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errText, QStringLiteral("Datensatz fehlerhaft."));
    EXPECT_EQ(host.rows(QStringLiteral("SELECT NR, original, \"Länge_Original\" FROM "
                                       "LaborwerteLexikontexte ORDER BY NR")),
              QStringList({"600||0", "O'Hara|<h2>#name#</h2><h3>Wissenswertes</h3>Eisen|42"}));

    const auto missingKey =
        runProcedure(host, InstallNeueLaborwerteTexte, QStringLiteral("laborw_texte"),
                     QStringLiteral("<r><id_item>1</id_item><id_baustein>1</id_baustein>"
                                    "<text>x</text></r>"));
    EXPECT_EQ(missingKey.errText,
              QStringLiteral("modDataUpdate: Objektvariable oder With-Blockvariable nicht "
                             "festgelegt"));
}

TEST(NutrientTexts, LinkBlocks28To30AndSkipTheLinkForOtherBlocks) {
    SampleHost host(ProductFamily::Naehrstoffe, true);
    host.execute(QStringLiteral("UPDATE Nährstoffe SET id_text_wenig = 'alt' WHERE NR = '300'"));
    auto record = [](const char* block, const char* textId, const QString& text) {
        return QStringLiteral("<r><id_item>3000</id_item><id_baustein>%1</id_baustein>"
                              "<id_text>%2</id_text><id_synonim>300</id_synonim>%3</r>")
            .arg(QString::fromLatin1(block), QString::fromLatin1(textId), text);
    };
    const auto result =
        runProcedure(host, InstallNeueNaehrstoffTexte, QStringLiteral("naehrst_texte"),
                     record("29", "T29", QStringLiteral("<text>Zu viel schadet.</text>")) +
                         record("30", "T30", QStringLiteral("<text> </text>")) +
                         record("31", "T31", QStringLiteral("<text>Block ohne Verweis</text>")) +
                         record("28", "T'28", QStringLiteral("<text>Wissen</text>")));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(host.value(QStringLiteral("SELECT id_text_wissen, id_text_viel, id_text_wenig FROM "
                                        "Nährstoffe WHERE NR = '300'")),
              QStringLiteral("T'28|T29|NULL"));
    EXPECT_EQ(host.rows(QStringLiteral("SELECT Nr, original FROM Nährstofftexte ORDER BY Nr")),
              QStringList({"T'28|Wissen", "T29|Zu viel schadet.", "T31|Block ohne Verweis"}));
}

TEST(LexiconTexts, JoinRunsOfSectionsIntoExistingEntries) {
    SampleHost host(ProductFamily::IndikLexikonShg, true);
    host.execute(QStringLiteral("INSERT INTO Lexikontexte (NR) VALUES ('5'), ('6')"));
    const auto result = runProcedure(
        host, InstallNeueLexikonTexte, QStringLiteral("lexikon_texte"),
        QStringLiteral(
            "<r><id_synonim>5</id_synonim><ueberschrift_level>2</ueberschrift_level>"
            "<ueberschrift>H</ueberschrift><text>A</text><createdate>2024-01-01</createdate>"
            "<lastupdate>2024-02-02</lastupdate></r>"
            "<r><id_synonim>99</id_synonim><ueberschrift_level>1</ueberschrift_level>"
            "<text>fehlt</text></r>"
            "<r><id_synonim>5</id_synonim><ueberschrift_level>1</ueberschrift_level>"
            "<text>B</text><lastupdate>2030-01-01</lastupdate></r>"
            "<r><id_synonim>6</id_synonim><ueberschrift_level>1</ueberschrift_level>"
            "<text>C</text></r>"));
    EXPECT_TRUE(result.ok) << result.errText.toStdString();
    EXPECT_EQ(host.rows(QStringLiteral("SELECT NR, original, \"Länge_Original\", angelegt, "
                                       "\"geändert\" FROM Lexikontexte ORDER BY NR")),
              QStringList({"5|<h1>#titel#</h1><h2>H</h2>AB|28|2024-01-01|2024-02-02",
                           "6|<h1>#titel#</h1>C|17|NULL|NULL", "700|NULL|NULL|NULL|NULL"}));

    const auto badLevel =
        runProcedure(host, InstallNeueLexikonTexte, QStringLiteral("lexikon_texte"),
                     QStringLiteral("<r><id_synonim>5</id_synonim>"
                                    "<ueberschrift_level>zwei</ueberschrift_level>"
                                    "<text>x</text></r>"));
    EXPECT_EQ(badLevel.errText, QStringLiteral("modDataUpdate: Typen unverträglich"));
}

} // namespace
} // namespace upd::dataupdate
