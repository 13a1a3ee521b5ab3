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

// The content of one archive member as the updater unpacks it, or nothing when the archive does
// not unpack with that password.
std::optional<std::string> member(const fs::path& archive, const char* name,
                                  const std::optional<std::string>& password) {
    QTemporaryDir target;
    const ExtractionOutcome outcome =
        extractArchive(QString::fromStdString(archive.string()), target.path(),
                       password ? QString::fromStdString(*password) : QString());
    if (!outcome.ok())
        return std::nullopt;
    return fileContent(fs::path(target.path().toStdString()) / name);
}

TEST(SampleCatalog, ArchivesHoldTheSourcesAndOpenWithTheCatalogsPassword) {
    const Catalog catalog = Catalog::load(SampleCatalog);
    int archives = 0;
    for (const auto& [code, product] : catalog.products) {
        for (const ProgramUpdate& update : product.programUpdates) {
            const fs::path archive = catalog.filesRoot / update.path / update.filestoextract;
            const fs::path sources = SampleCatalog / "sources" / (code + "-" + update.version);
            std::optional<std::string> password;
            if (update.password)
                password = std::to_string(*update.password);
            ++archives;
            EXPECT_EQ(member(archive, "setup.sh", password),
                      fileContent(SampleCatalog / "sources/setup.sh"))
                << archive;
            EXPECT_EQ(member(archive, "update.conf", password),
                      fileContent(sources / "update.conf"))
                << archive;
            if (password) {
                EXPECT_FALSE(member(archive, "update.conf", std::nullopt)) << archive;
                EXPECT_NE(member(archive, "update.conf", "1" + *password),
                          fileContent(sources / "update.conf"))
                    << archive;
            }
        }
    }
    EXPECT_EQ(archives, 4);
}

class SampleSetup : public ::testing::Test {
protected:
    // Unpacks the QGR 3.2.0 setup as the client would and runs it for a host directory.
    int runSetup(const QStringList& arguments, const QString& failSwitch = {}) {
        const fs::path source = SampleCatalog / "sources";
        const fs::path unpacked = fs::path(work.path().toStdString()) / "3.2.0";
        fs::create_directories(unpacked);
        for (const fs::path& file : {source / "setup.sh", source / "QGR-3.2.0/update.conf",
                                     source / "QGR-3.2.0/programm-qgr.txt"})
            fs::copy_file(file, unpacked / file.filename(), fs::copy_options::overwrite_existing);
        QProcess setup;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        environment.remove("QUORLAN_APP_NAME");
        if (!failSwitch.isEmpty())
            environment.insert("QUORLAN_SETUP_FAIL", failSwitch);
        setup.setProcessEnvironment(environment);
        setup.start("/bin/sh",
                    QStringList{QString::fromStdString((unpacked / "setup.sh").string())} +
                        arguments);
        EXPECT_TRUE(setup.waitForFinished(10000));
        return setup.exitCode();
    }

    // The flag as the client reads it: QSettings over the store's INI file.
    QString working() const {
        QSettings settings(config.path() +
                               "/VB and VBA Program Settings/quorlan-Gesundheitsratgeber.ini",
                           QSettings::IniFormat);
        return settings.value("UpdateSetup/Working").toString();
    }

    QTemporaryDir work;
    QTemporaryDir config;
    QTemporaryDir host;
};

TEST_F(SampleSetup, InstallsRecordsAndClearsTheWorkingFlag) {
    // Other values of the host's settings must survive the setup.
    {
        QSettings settings(config.path() +
                               "/VB and VBA Program Settings/quorlan-Gesundheitsratgeber.ini",
                           QSettings::IniFormat);
        settings.setValue("Optionen/Sprache", "de");
        settings.setValue("UpdateSetup/Letztes", "3.1.0");
    }
    EXPECT_EQ(runSetup({host.path()}), 0);
    const fs::path hostDir = host.path().toStdString();
    EXPECT_EQ(fileContent(hostDir / "version.txt"), "3.2.0\n");
    EXPECT_TRUE(fs::exists(hostDir / "programm-qgr.txt"));
    const std::string log = fileContent(hostDir / "update-setup.log");
    EXPECT_NE(log.find("QGR 3.2.0: Setup gestartet, Working gesetzt"), std::string::npos) << log;
    EXPECT_NE(log.find("QGR 3.2.0: Setup beendet, Working entfernt"), std::string::npos) << log;
    EXPECT_EQ(working(), "");
    QSettings settings(config.path() +
                           "/VB and VBA Program Settings/quorlan-Gesundheitsratgeber.ini",
                       QSettings::IniFormat);
    EXPECT_EQ(settings.value("Optionen/Sprache").toString(), "de");
    EXPECT_EQ(settings.value("UpdateSetup/Letztes").toString(), "3.1.0");
}

TEST_F(SampleSetup, ASetupThatStopsHalfWayLeavesTheFlagSet) {
    EXPECT_NE(runSetup({host.path()}, "1"), 0);
    EXPECT_EQ(working(), "3.2.0");
    // The next, complete setup clears it again.
    EXPECT_EQ(runSetup({host.path()}), 0);
    EXPECT_EQ(working(), "");
}

} // namespace
} // namespace upd::server
