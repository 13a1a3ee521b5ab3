// The table procedures on sample databases: terms, texts and self-help groups.

#include "dataupdate/host_fixture.h"
#include "dataupdate/table_procedures.h"

#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::checkProcedureCases;
using Case = test::ProcedureCase;

QString term(const QString& item, const QString& synonym, const QString& more = QString()) {
    return QStringLiteral("<r><id_item>%1</id_item><id_synonim>%2</id_synonim>%3</r>")
        .arg(item, synonym, more);
}

const QString TypeMismatch = QStringLiteral("modDataUpdate: Typen unverträglich");
const QString Faulty = QStringLiteral("Datensatz fehlerhaft.");

TEST(TableProcedures, TermsExistingOnesStayNewOnesGetTheirFieldsAndAParentRowOnce) {
    const QString hostile = QStringLiteral("1' OR '1'='1");
    checkProcedureCases({
        Case(
            "indications: only the fields a new term carries", ProductFamily::IndikLexikonShg,
            InstallNeueIndikationen,
            term("9000", "900",
                 "<Name>Anders</Name><Hauptname>0</Hauptname><createdate>2024-06-01</createdate>") +
                term("9001", "900",
                     "<x><Name>Kopfweh</Name></x><Name>zweiter</Name><Hauptname>0</Hauptname>"
                     "<createdate>2024-06-01</createdate><lastupdate>2024-06-02</lastupdate>") +
                term("9002", "901"),
            "",
            {{"SELECT ID, NR, Name, Hauptname, CREATEDATE, LASTUPDATE FROM Indikationsnamen ORDER "
              "BY ID",
              {"9000|900|Kopfschmerz|1|2023-01-15|2023-01-15",
               "9001|900|Kopfweh|0|2024-06-01|2024-06-02", "9002|901|NULL|0|NULL|NULL"}}}),
        // "006000" is the number 6000: the existing term, not a new one.
        Case("laboratory values: new subjects get an empty text row",
             ProductFamily::IndikLaborwerte, InstallNeueLaborwerte,
             term("6001", "600", "<Name>Hb</Name>") + term("6100", "610", "<Name>Ferritin</Name>") +
                 term("6101", "610") + term("006000", "600"),
             "",
             {{"SELECT NR, original, \"Länge_Original\" FROM LaborwerteLexikontexte ORDER BY NR",
               {"600|<h2>#name#</h2><h3>Wissenswertes</h3>Roter Blutfarbstoff.|57",
                "610|NULL|NULL"}},
              {"SELECT ID_Item, ID_Synonim, Name FROM LaborwerteLexikon ORDER BY ID_Item",
               {"6000|600|Hämoglobin", "6001|600|Hb", "6100|610|Ferritin", "6101|610|NULL"}}}),
        Case("laboratory values: a key that is no number", ProductFamily::IndikLaborwerte,
             InstallNeueLaborwerte, term("6x", "600"), TypeMismatch, {}),
        Case("lexicon terms", ProductFamily::IndikLexikonShg, InstallNeueQGLexikonBegriffe,
             term("7001", "701",
                  "<Name>Migräne</Name><createdate>2024-06-01</createdate>"
                  "<lastupdate>2024-06-09</lastupdate>"),
             "",
             {{"SELECT ID_Item, Name, createdate FROM Lexikonbegriffe WHERE ID_Synonim = '701'",
               {"7001|Migräne|2024-06-01"}},
              {"SELECT original FROM Lexikontexte WHERE NR = '701'", {"NULL"}}}),
        Case("lexicon terms: errors name the member", ProductFamily::IndikLexikonShg,
             InstallNeueQGLexikonBegriffe, term("7002", "701", "<Hauptname>ja</Hauptname>"),
             "modDataUpdate: InstallNeueQGLexikonBegriffe: Der Wert passt nicht zum Datentyp des "
             "Feldes. (",
             {}),
        Case("nutrient terms", ProductFamily::Naehrstoffe, InstallNeueNaehrstoffBegriffe,
             term("3001", "300", "<lastupdate>2024-06-09</lastupdate>") + term("3100", "310"), "",
             {{"SELECT NR FROM Nährstoffe ORDER BY NR", {"300", "310"}},
              {"SELECT LASTUPDATE FROM Nährstoffbegriffe WHERE ID = '3001'", {"2024-06-09"}}}),
        Case("faulty records do not stop the set", ProductFamily::IndikLaborwerte,
             InstallNeueIndikationen,
             term("1", "10") + "<r><id_item>2</id_item></r><r><id_synonim>30</id_synonim></r>" +
                 term("4", "40"),
             Faulty, {{"SELECT ID FROM Indikationsnamen ORDER BY ID", {"1", "4"}}}, false),
        Case("keys with apostrophes are values, not statements", ProductFamily::IndikLexikonShg,
             InstallNeueIndikationen,
             term("O'Brien", "5", "<Name>Morbus O'Brien</Name>") + term(hostile, "5") +
                 term("O'Brien", "5", "<Name>again</Name>") +
                 term("x", "5'); DROP TABLE Indikationsnamen; --"),
             "",
             {{"SELECT ID, NR, Name FROM Indikationsnamen ORDER BY ID",
               {hostile + "|5|NULL", "O'Brien|5|Morbus O'Brien",
                "x|5'); DROP TABLE Indikationsnamen; --|NULL"}}},
             false),
    });
}

TEST(TableProcedures, SelfHelpGroupsAreInsertedOrOverwrittenWithNullsForMissingFields) {
    const QString groups = QStringLiteral(
        "<r><NR>4711</NR><NAME>Gesprächskreis Übelkeit e.V.</NAME><ORT></ORT></r>"
        "<r><NR>5001</NR><NAME>Migräne-Treff</NAME><ZUSATZ>montags</ZUSATZ>"
        "<STRASSE>Ringstraße 5</STRASSE><Land>D</Land><PLZ>50667</PLZ><ORT>Köln</ORT>"
        "<TELEFON>0221 1</TELEFON><TELEFAX>0221 2</TELEFAX><INTERNET>www.example.org</INTERNET>"
        "<EMAIL>a@example.org</EMAIL><BEMERKUNG>neu</BEMERKUNG><Bemerkung-Datei>shg5001.htm"
        "</Bemerkung-Datei><GEAENDERT>0</GEAENDERT><NEU>1</NEU><TREFFER>3</TREFFER>"
        "<AnlegeDatum>1999-01-01</AnlegeDatum><createdate>2024-06-01</createdate>"
        "<lastupdate>2024-06-02</lastupdate></r>");
    const test::Tables written = {
        {"SELECT NR, NAME, ZUSATZ, STRASSE, Land, PLZ, ORT, TELEFON, TELEFAX, INTERNET, EMAIL, "
         "BEMERKUNG, \"Bemerkung-Datei\", GEAENDERT, NEU, TREFFER, AnlegeDatum, Aenderungsdatum "
         "FROM shg WHERE NR IN ('4711', '5001') ORDER BY NR",
         {"4711|Gesprächskreis Übelkeit e.V.|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|"
          "NULL|NULL|NULL|NULL|NULL|NULL",
          "5001|Migräne-Treff|montags|Ringstraße 5|D|50667|Köln|0221 1|0221 2|www.example.org|"
          "a@example.org|neu|shg5001.htm|0|1|3|2024-06-01|2024-06-02"}}};
    checkProcedureCases({
        Case("new and changed groups", ProductFamily::IndikLexikonShg, InstallNeueSHG, groups, "",
             written),
        // Without the remark file column the assignment fails: the row is saved with the fields
        // copied before it, and the next group is written as well.
        Case("a column the host lacks", ProductFamily::IndikLexikonShg, InstallNeueSHG,
             "<r><NR>1</NR><NAME>Eins</NAME><BEMERKUNG>b</BEMERKUNG><NEU>1</NEU></r>"
             "<r><NAME>ohne Nummer</NAME></r><r><NR>O'Neill</NR><NAME>Zwei</NAME></r>",
             "modDataUpdate: Element in dieser Auflistung nicht gefunden (Feld 'Bemerkung-Datei').",
             {{"SELECT NR, NAME, BEMERKUNG, NEU FROM shg ORDER BY NR",
               {"1|Eins|b|NULL", "O'Neill|Zwei|NULL|NULL"}}},
             false, "ALTER TABLE shg DROP COLUMN \"Bemerkung-Datei\""),
        Case("a group without number", ProductFamily::IndikLexikonShg, InstallNeueSHG,
             "<r><NAME>ohne Nummer</NAME></r><r><NR>2</NR></r>", Faulty,
             {{"SELECT NR FROM shg", {"2"}}}, false),
    });
}

TEST(TableProcedures, TextsGoToKnownBlocksAndExistingEntries) {
    const auto nutrientText = [](const char* block, const char* textId, const char* text) {
        return QStringLiteral("<r><id_item>3000</id_item><id_baustein>%1</id_baustein>"
                              "<id_text>%2</id_text><id_synonim>300</id_synonim>%3</r>")
            .arg(QString::fromLatin1(block), QString::fromLatin1(textId), QString::fromUtf8(text));
    };
    const QString lexiconEntries =
        QStringLiteral("INSERT INTO Lexikontexte (NR) VALUES ('5'), ('6')");
    checkProcedureCases({
        Case("indication texts: unknown blocks are passed over, existing texts overwritten",
             ProductFamily::IndikLexikonShg, InstallNeueIndikationsTexte,
             "<r><id_synonim>901</id_synonim><id_baustein>02</id_baustein><text>„Zitat“ – kurz…"
             "</text><createdate>2024-06-01</createdate></r>"
             "<r><id_synonim>901</id_synonim><id_baustein>99</id_baustein><text>kein "
             "Block</text></r>"
             "<r><id_synonim>902</id_synonim><id_baustein>1</id_baustein><text>   </text></r>"
             "<r><id_synonim>900</id_synonim><id_baustein>1</id_baustein><text>  </text>"
             "<lastupdate>2024-06-09</lastupdate></r>",
             "",
             {{"SELECT Indikations_Nr, id_baustein, original, \"Länge_Original\", angelegt, "
               "\"geändert\" FROM Indikationstexte ORDER BY Indikations_Nr",
               {"900|1||0|2023-01-15|2024-06-09",
                "901|2|&bdquo;Zitat&ldquo; &ndash; kurz...|35|2024-06-01|NULL"}}}),
        Case("indication texts: a block number beyond 16 bits", ProductFamily::IndikLexikonShg,
             InstallNeueIndikationsTexte,
             "<r><id_synonim>1</id_synonim><id_baustein>40000</id_baustein></r>"
             "<r><id_synonim>1</id_synonim><id_baustein>1</id_baustein><text>x</text></r>",
             "modDataUpdate: Überlauf",
             {{"SELECT count(*) FROM Indikationstexte WHERE Indikations_Nr = '1'", {"0"}}}),
        Case("laboratory value texts carry their heading, without text they are empty",
             ProductFamily::IndikLaborwerte, InstallNeueLaborwerteTexte,
             "<r><id_item>1</id_item><id_baustein>1</id_baustein><id_synonim>600</id_synonim></r>"
             "<r><id_item>2</id_item><id_baustein>1</id_baustein><id_synonim>O'Hara</id_synonim>"
             "<text>Eisen</text></r><r><id_baustein>1</id_baustein><id_synonim>9</id_synonim>"
             "<text>ohne id_item</text></r>",
             Faulty,
             {{"SELECT NR, original, \"Länge_Original\" FROM LaborwerteLexikontexte ORDER BY NR",
               {"600||0", "O'Hara|<h2>#name#</h2><h3>Wissenswertes</h3>Eisen|42"}}}),
        Case("laboratory value texts without key", ProductFamily::IndikLaborwerte,
             InstallNeueLaborwerteTexte,
             "<r><id_item>1</id_item><id_baustein>1</id_baustein><text>x</text></r>",
             "modDataUpdate: Objektvariable oder With-Blockvariable nicht festgelegt", {}),
        Case(
            "nutrient texts link blocks 28 to 30 only", ProductFamily::Naehrstoffe,
            InstallNeueNaehrstoffTexte,
            nutrientText("29", "T29", "<text>Zu viel schadet.</text>") +
                nutrientText("30", "T30", "<text> </text>") +
                nutrientText("31", "T31", "<text>Block ohne Verweis</text>") +
                nutrientText("28", "T'28", "<text>Wissen</text>"),
            "",
            {{"SELECT id_text_wissen, id_text_viel, id_text_wenig FROM Nährstoffe WHERE NR = '300'",
              {"T'28|T29|NULL"}},
             {"SELECT Nr, original FROM Nährstofftexte ORDER BY Nr",
              {"T'28|Wissen", "T29|Zu viel schadet.", "T31|Block ohne Verweis"}}},
            true, "UPDATE Nährstoffe SET id_text_wenig = 'alt' WHERE NR = '300'"),
        Case("lexicon texts join runs of sections into existing entries",
             ProductFamily::IndikLexikonShg, InstallNeueLexikonTexte,
             "<r><id_synonim>5</id_synonim><ueberschrift_level>2</ueberschrift_level>"
             "<ueberschrift>H</ueberschrift><text>A</text><createdate>2024-01-01</createdate>"
             "<lastupdate>2024-02-02</lastupdate></r><r><id_synonim>99</id_synonim>"
             "<ueberschrift_level>1</ueberschrift_level><text>fehlt</text></r>"
             "<r><id_synonim>5</id_synonim><ueberschrift_level>1</ueberschrift_level><text>B</text>"
             "<lastupdate>2030-01-01</lastupdate></r><r><id_synonim>6</id_synonim>"
             "<ueberschrift_level>1</ueberschrift_level><text>C</text></r>",
             "",
             {{"SELECT NR, original, \"Länge_Original\", angelegt, \"geändert\" FROM Lexikontexte "
               "ORDER BY NR",
               {"5|<h1>#titel#</h1><h2>H</h2>AB|28|2024-01-01|2024-02-02",
                "6|<h1>#titel#</h1>C|17|NULL|NULL", "700|NULL|NULL|NULL|NULL"}}},
             true, lexiconEntries),
    });
}

} // namespace
} // namespace upd::dataupdate
