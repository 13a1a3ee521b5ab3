// The catalog's checks; the sample catalog's archives and setup as the client uses them.

#include "package/zip_extraction.h"
#include "server_fixture.h"

#include <QProcess>
#include <QSettings>
#include <gmock/gmock.h>
#include <optional>

namespace upd::server {
namespace {

namespace fs = std::filesystem;
using test::programUpdate;
using test::readFile;
using ::testing::HasSubstr;

// The refusal of a catalog, or its warnings one a line.
std::string problems(const std::filesystem::path& directory) {
    try {
        std::string warnings;
        for (const std::string& warning : Catalog::load(directory).warnings)
            warnings += warning + "\n";
        return warnings;
    } catch (const CatalogError& error) {
        return std::string("refused: ") + error.what();
    }
}

TEST(Catalog, NamesEveryProblemAtOnce) {
    const struct {
        const char* what;
        // Files to write below the catalog; no content removes the file or directory.
        std::vector<std::pair<std::string, std::optional<std::string>>> files;
        std::string catalog; // inside <catalog>
        bool refused;
        std::vector<std::string> problems;
    } cases[] = {
        {"faulty program updates",
         {{"files/u/3.2.0/a.zip", "zip"}},
         "<product code=\"QGR\">" +
             programUpdate("3.2.0", "3.1.9", "3.1.0",
                           "<password>40000</password><new_dlls>vielleicht</new_dlls>") +
             programUpdate("3.3", "3.2.0", "3.2.9") +
             programUpdate("3.5.0", "3.4.0", "3.4.9", "<hardware><version>1</version></hardware>") +
             "<update><version>3.4.0</version></update></product>",
         true,
         {"QGR Update 3.2.0: <min> liegt über <max>",
          "<password> muss eine Zahl von -32768 bis 32767 sein",
          "<new_dlls> muss True, False oder eine Zahl sein",
          "\"3.3\" ist keine Version aus drei Zahlen", "Datei files/u/3.3/a.zip fehlt",
          "QGR Update 3.4.0: <name> fehlt oder ist leer",
          "QGR Update 3.5.0: \"hardware\" darf keine Elemente"}},
        {"paths that leave the catalog",
         {{"outside.zip", "zip"}},
         "<product code=\"QGR\"><update><version>3.2.0</version><name>n</name>"
         "<min>3.1.0</min><max>3.1.9</max><files>outside.zip</files>"
         "<path>../..</path><start_file>setup.sh</start_file></update>"
         "<data><version>1</version><payload>../catalog.xml</payload></data>"
         "</product><updater><version>2.01.0015</version><path>/etc</path>"
         "<file>passwd</file></updater>",
         true,
         {"QGR Update 3.2.0: <path> muss ein relativer Pfad",
          "\"../catalog.xml\" muss ein relativer Pfad",
          "<updater>: <path> oder <file> ist kein sicherer Name"}},
        {"payloads the product's driver cannot install",
         {{"data/qbr.xml", "<d><new_naehrst><r><x>1</x></r></new_naehrst>"
                           "<new_indik><r/></new_indik><naehrst_texte/></d>"},
          {"data/qm.xml", "<d/>"}},
         "<product code=\"QBR\"><data><version>2024.06</version><payload>data/qbr.xml</payload>"
         "<date>1.6.2024</date></data></product><product code=\"QM\"><data><version>1</version>"
         "<payload>data/qm.xml</payload></data></product>",
         true,
         {"<new_indik> ist kein Datensatz von QBR",
          "<naehrst_texte> braucht als erstes Kind ein Element",
          "<date> muss die Form JJJJ-MM-TT haben", "für QM gibt es keine Daten-Updates"}},
        {"terms of use too long for the client",
         {{"files/downloads/lizenz.txt", std::string(32768, 'x')}},
         "",
         true,
         {"lizenz.txt ist größer als 32767 Bytes"}},
        {"no terms of use",
         {{"files/downloads/lizenz.txt", std::nullopt}},
         "",
         true,
         {"lizenz.txt (Nutzungsbedingungen) fehlt"}},
        {"an unreadable catalog.xml", {}, "<product code=\"QGR\">", true, {"catalog.xml"}},
        // Warnings only: the catalog is served.
        {"versions that do not compare as text",
         {{"files/u/3.10.0/a.zip", "zip"}, {"files/u/3.9.0/a.zip", "zip"}},
         "<product code=\"QGR\">" + programUpdate("3.9.0", "3.8.0", "3.8.9") +
             programUpdate("3.10.0", "3.9.0", "3.9.9") + "</product><product code=\"QXX\"/>",
         false,
         {"Version 3.10.0 hat andere Stellenzahlen",
          "Produkt QXX ist dem Update-Programm unbekannt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempCatalog catalog;
        catalog.catalog(c.catalog);
        for (const auto& [file, content] : c.files)
            content ? catalog.write(file, *content) : catalog.remove(file);
        const std::string found = problems(catalog.path());
        for (const std::string& problem : c.problems)
            EXPECT_THAT(found, HasSubstr(problem));
        // Only what is wrong is named.
        EXPECT_THAT(found, ::testing::Not(HasSubstr("<new_naehrst>")));
        EXPECT_EQ(found.starts_with("refused: "), c.refused);
    }
}

const fs::path SampleCatalog = SAMPLE_CATALOG_DIR;

// A stale archive (its sources edited, the archive not made again) or a password the catalog does
// not encode would ship a broken update.
TEST(SampleCatalog, ArchivesHoldTheSourcesAndOpenOnlyWithTheCatalogsPassword) {
    const Catalog catalog = Catalog::load(SampleCatalog);
    EXPECT_TRUE(catalog.warnings.empty());
    int archives = 0;
    for (const auto& [code, product] : catalog.products) {
        for (const ProgramUpdate& update : product.programUpdates) {
            const fs::path archive = catalog.filesRoot / update.path / update.filestoextract;
            SCOPED_TRACE(archive);
            ++archives;
            const QString file = QString::fromStdString(archive.string());
            QTemporaryDir target;
            EXPECT_NE(extractArchive(file, target.path(), QString()).ok(),
                      update.password.has_value());
            ASSERT_TRUE(
                extractArchive(file, target.path(),
                               update.password ? QString::number(*update.password) : QString())
                    .ok());
            const fs::path unpacked = target.path().toStdString();
            EXPECT_EQ(readFile(unpacked / "setup.sh"),
                      readFile(SampleCatalog / "sources/setup.sh"));
            EXPECT_EQ(readFile(unpacked / "update.conf"),
                      readFile(SampleCatalog / "sources" / (code + "-" + update.version) /
                               "update.conf"));
        }
    }
    EXPECT_EQ(archives, 4);
}

// The client takes a "Working" flag left behind for a broken setup; the host's other settings
// must survive. The successful run through the sample host is tests/wizard's end-to-end test.
TEST(SampleCatalog, SetupKeepsTheWorkingFlagUntilEverythingIsInPlace) {
    QTemporaryDir work, config, host;
    for (const char* file : {"setup.sh", "QGR-3.2.0/update.conf", "QGR-3.2.0/programm-qgr.txt"})
        fs::copy_file(SampleCatalog / "sources" / file,
                      fs::path(work.path().toStdString()) / fs::path(file).filename());
    const QString ini =
        config.path() + "/VB and VBA Program Settings/quorlan-Gesundheitsratgeber.ini";
    const auto setting = [&](const char* key) {
        return QSettings(ini, QSettings::IniFormat).value(key).toString();
    };
    QSettings(ini, QSettings::IniFormat).setValue("Optionen/Sprache", "de");
    const auto runSetup = [&](bool failHalfWay) {
        QProcess setup;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        environment.remove("QUORLAN_APP_NAME");
        environment.insert("QUORLAN_SETUP_FAIL", failHalfWay ? "1" : "");
        setup.setProcessEnvironment(environment);
        setup.start("/bin/sh", {work.filePath("setup.sh"), host.path()});
        EXPECT_TRUE(setup.waitForFinished(10000));
        return setup.exitCode();
    };

    EXPECT_NE(runSetup(true), 0);
    EXPECT_EQ(setting("UpdateSetup/Working"), "3.2.0");
    EXPECT_EQ(runSetup(false), 0); // the next, complete setup clears it again
    EXPECT_EQ(setting("UpdateSetup/Working"), "");
    EXPECT_EQ(setting("Optionen/Sprache"), "de");
    EXPECT_EQ(readFile(fs::path(host.path().toStdString()) / "version.txt"), "3.2.0\n");
}

} // namespace
} // namespace upd::server
