// The sample catalog's archives and setup programs, checked against what the client does with
// them: unpack with the decoded password, run the setup, read the "Working" flag.

#include "package/zip_extraction.h"
#include "updateserver/catalog.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace upd::server {
namespace {

namespace fs = std::filesystem;

const fs::path SampleCatalog = SAMPLE_CATALOG_DIR;

std::string fileContent(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

TEST(SampleCatalog, ArchivesHoldTheSourcesAndOpenOnlyWithTheCatalogsPassword) {
    const Catalog catalog = Catalog::load(SampleCatalog);
    int archives = 0;
    for (const auto& [code, product] : catalog.products) {
        for (const ProgramUpdate& update : product.programUpdates) {
            const fs::path archive = catalog.filesRoot / update.path / update.filestoextract;
            SCOPED_TRACE(archive);
            ++archives;
            const QString password =
                update.password ? QString::number(*update.password) : QString();
            QTemporaryDir target;
            const QString file = QString::fromStdString(archive.string());
            if (update.password) {
                EXPECT_FALSE(extractArchive(file, target.path(), QString()).ok());
            }
            ASSERT_TRUE(extractArchive(file, target.path(), password).ok());
            const fs::path unpacked = target.path().toStdString();
            const fs::path sources = SampleCatalog / "sources";
            EXPECT_EQ(fileContent(unpacked / "setup.sh"), fileContent(sources / "setup.sh"));
            EXPECT_EQ(fileContent(unpacked / "update.conf"),
                      fileContent(sources / (code + "-" + update.version) / "update.conf"));
        }
    }
    EXPECT_EQ(archives, 4);
}

TEST(SampleCatalog, SetupKeepsTheWorkingFlagUntilEverythingIsInPlace) {
    QTemporaryDir work, config, host;
    const fs::path source = SampleCatalog / "sources";
    const fs::path unpacked = fs::path(work.path().toStdString());
    for (const fs::path& file : {source / "setup.sh", source / "QGR-3.2.0/update.conf",
                                 source / "QGR-3.2.0/programm-qgr.txt"})
        fs::copy_file(file, unpacked / file.filename());
    // The host's settings as the client reads them; its other values must survive the setup.
    const QString ini =
        config.path() + "/VB and VBA Program Settings/quorlan-Gesundheitsratgeber.ini";
    const auto setting = [&](const char* key) {
        return QSettings(ini, QSettings::IniFormat).value(key).toString();
    };
    {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue("Optionen/Sprache", "de");
        settings.setValue("UpdateSetup/Letztes", "3.1.0");
    }
    const auto runSetup = [&](bool failHalfWay) {
        QProcess setup;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        environment.remove("QUORLAN_APP_NAME");
        environment.remove("QUORLAN_SETUP_FAIL");
        if (failHalfWay)
            environment.insert("QUORLAN_SETUP_FAIL", "1");
        setup.setProcessEnvironment(environment);
        setup.start("/bin/sh",
                    {QString::fromStdString((unpacked / "setup.sh").string()), host.path()});
        EXPECT_TRUE(setup.waitForFinished(10000));
        return setup.exitCode();
    };

    EXPECT_NE(runSetup(true), 0);
    EXPECT_EQ(setting("UpdateSetup/Working"), "3.2.0");
    EXPECT_EQ(runSetup(false), 0); // the next, complete setup clears it again
    EXPECT_EQ(setting("UpdateSetup/Working"), "");
    EXPECT_EQ(setting("Optionen/Sprache"), "de");
    EXPECT_EQ(setting("UpdateSetup/Letztes"), "3.1.0");

    const fs::path hostDir = host.path().toStdString();
    EXPECT_EQ(fileContent(hostDir / "version.txt"), "3.2.0\n");
    EXPECT_TRUE(fs::exists(hostDir / "programm-qgr.txt"));
    const std::string log = fileContent(hostDir / "update-setup.log");
    EXPECT_NE(log.find("QGR 3.2.0: Setup gestartet, Working gesetzt"), std::string::npos) << log;
    EXPECT_NE(log.find("QGR 3.2.0: Setup beendet, Working entfernt"), std::string::npos) << log;
}

} // namespace
} // namespace upd::server
