#include "temp_catalog.h"
#include "updateserver/catalog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace upd::server {
namespace {

using test::programUpdate;
using test::TempCatalog;
using ::testing::HasSubstr;

std::string loadError(const TempCatalog& catalog) {
    try {
        catalog.load();
    } catch (const CatalogError& error) {
        return error.what();
    }
    return "loaded without error";
}

TEST(Catalog, SampleCatalogLoadsCleanly) {
    const Catalog catalog = Catalog::load(SAMPLE_CATALOG_DIR);
    EXPECT_TRUE(catalog.warnings.empty()) << catalog.warnings.front();
    ASSERT_TRUE(catalog.product("QGR"));
    ASSERT_TRUE(catalog.product("QBR"));
    ASSERT_TRUE(catalog.product("QAR"));
    EXPECT_FALSE(catalog.product("qgr"));
    const Product& qgr = *catalog.product("QGR");
    ASSERT_EQ(qgr.programUpdates.size(), 2u);
    EXPECT_FALSE(qgr.programUpdates[0].password);
    EXPECT_EQ(qgr.programUpdates[1].password, 4711);
    EXPECT_EQ(catalog.product("QBR")->programUpdates[0].password, -1234);
    ASSERT_EQ(qgr.programUpdates[1].hardwareXml.size(), 1u);
    // Every set of each family's driver is in its sample payload.
    for (const auto& [code, product] : catalog.products) {
        ASSERT_EQ(product.dataUpdates.size(), 1u) << code;
        ASSERT_TRUE(product.dataUpdates[0].setsXml) << code;
        const std::string& sets = *product.dataUpdates[0].setsXml;
        for (const std::string& name : dataSetsOf(code))
            EXPECT_THAT(sets, HasSubstr("<" + name + ">")) << code;
    }
    ASSERT_TRUE(catalog.updater);
    EXPECT_EQ(catalog.updater->version, "2.01.0015");
    EXPECT_GT(catalog.updater->size, 0u);
}

TEST(Catalog, ListsEveryProblemOfAProgramUpdate) {
    TempCatalog catalog;
    catalog.write("files/u/3.2.0/a.zip", "zip");
    catalog.catalog(
        "<product code=\"QGR\">" +
        programUpdate("3.2.0", "3.1.9", "3.1.0",
                      "<password>40000</password><new_dlls>vielleicht</new_dlls>") +
        programUpdate("3.3", "3.2.0", "3.2.9") +
        programUpdate("3.5.0", "3.4.0", "3.4.9", "<hardware><version>1</version></hardware>") +
        "<update><version>3.4.0</version></update>"
        "</product>");
    const std::string error = loadError(catalog);
    EXPECT_THAT(error, HasSubstr("QGR Update 3.2.0: <min> liegt über <max>"));
    EXPECT_THAT(error, HasSubstr("<password> muss eine Zahl von -32768 bis 32767 sein"));
    EXPECT_THAT(error, HasSubstr("<new_dlls> muss True, False oder eine Zahl sein"));
    EXPECT_THAT(error, HasSubstr("\"3.3\" ist keine Version aus drei Zahlen"));
    EXPECT_THAT(error, HasSubstr("Datei files/u/3.3/a.zip fehlt"));
    EXPECT_THAT(error, HasSubstr("QGR Update 3.4.0: <name> fehlt oder ist leer"));
    EXPECT_THAT(error, HasSubstr("QGR Update 3.5.0: \"hardware\" darf keine Elemente"));
}

TEST(Catalog, RefusesPathsThatLeaveTheCatalog) {
    TempCatalog catalog;
    catalog.write("outside.zip", "zip");
    catalog.catalog("<product code=\"QGR\"><update><version>3.2.0</version><name>n</name>"
                    "<min>3.1.0</min><max>3.1.9</max><files>outside.zip</files>"
                    "<path>../..</path><start_file>setup.sh</start_file></update>"
                    "<data><version>1</version><payload>../catalog.xml</payload></data>"
                    "</product><updater><version>2.01.0015</version><path>/etc</path>"
                    "<file>passwd</file></updater>");
    const std::string error = loadError(catalog);
    EXPECT_THAT(error, HasSubstr("QGR Update 3.2.0: <path> muss ein relativer Pfad"));
    EXPECT_THAT(error, HasSubstr("\"../catalog.xml\" muss ein relativer Pfad"));
    EXPECT_THAT(error, HasSubstr("<updater>: <path> oder <file> ist kein sicherer Name"));
}

TEST(Catalog, ChecksPayloadsAgainstTheProductsDriver) {
    TempCatalog catalog;
    catalog.write("data/qbr.xml", "<d><new_naehrst><r><x>1</x></r></new_naehrst>"
                                  "<new_indik><r/></new_indik><naehrst_texte/></d>");
    catalog.write("data/qm.xml", "<d/>");
    catalog.catalog("<product code=\"QBR\"><data><version>2024.06</version>"
                    "<payload>data/qbr.xml</payload><date>1.6.2024</date></data></product>"
                    "<product code=\"QM\"><data><version>1</version><payload>data/qm.xml"
                    "</payload></data></product>");
    const std::string error = loadError(catalog);
    EXPECT_THAT(error, HasSubstr("<new_indik> ist kein Datensatz von QBR"));
    EXPECT_THAT(error, HasSubstr("<naehrst_texte> braucht als erstes Kind ein Element"));
    EXPECT_THAT(error, HasSubstr("<date> muss die Form JJJJ-MM-TT haben"));
    EXPECT_THAT(error, HasSubstr("für QM gibt es keine Daten-Updates"));
    EXPECT_THAT(error, ::testing::Not(HasSubstr("<new_naehrst>")));
}

TEST(Catalog, NeedsTermsOfUseThatTheClientCanRead) {
    TempCatalog catalog;
    catalog.catalog("");
    EXPECT_NO_THROW(catalog.load());
    catalog.write("files/downloads/lizenz.txt", std::string(32768, 'x'));
    EXPECT_THAT(loadError(catalog), HasSubstr("lizenz.txt ist größer als 32767 Bytes"));
    std::filesystem::remove(catalog.path() / "files/downloads/lizenz.txt");
    EXPECT_THAT(loadError(catalog), HasSubstr("lizenz.txt (Nutzungsbedingungen) fehlt"));
}

TEST(Catalog, WarnsAboutVersionsThatDoNotCompareAsText) {
    TempCatalog catalog;
    catalog.write("files/u/3.10.0/a.zip", "zip");
    catalog.write("files/u/3.9.0/a.zip", "zip");
    catalog.catalog("<product code=\"QGR\">" + programUpdate("3.9.0", "3.8.0", "3.8.9") +
                    programUpdate("3.10.0", "3.9.0", "3.9.9") +
                    "</product><product code=\"QXX\"/>");
    const Catalog loaded = catalog.load();
    const std::string warnings = [&] {
        std::string all;
        for (const std::string& warning : loaded.warnings)
            all += warning + "\n";
        return all;
    }();
    EXPECT_THAT(warnings, HasSubstr("Version 3.10.0 hat andere Stellenzahlen"));
    EXPECT_THAT(warnings, HasSubstr("Produkt QXX ist dem Update-Programm unbekannt"));
}

TEST(Catalog, ReportsAnUnreadableCatalog) {
    TempCatalog catalog;
    catalog.write("catalog.xml", "<catalog><product code=\"QGR\"></catalog>");
    EXPECT_THAT(loadError(catalog), HasSubstr("catalog.xml"));
    TempCatalog empty;
    std::filesystem::remove_all(empty.path() / "files");
    EXPECT_THAT(loadError(empty), HasSubstr("Verzeichnis \"files\" fehlt"));
}

} // namespace
} // namespace upd::server
