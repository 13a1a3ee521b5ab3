#include "archive_peers.h"
#include "core/ansi_text_file.h"
#include "core/runtime_error.h"
#include "core/windows1252.h"
#include "package/manifest_writer.h"

#include <QTemporaryDir>

namespace upd {
namespace {

// Two updates, the first with a hardware element holding a letter outside ASCII.
class ManifestWriter : public ::testing::Test {
protected:
    void SetUp() override {
        const QString entry = QStringLiteral(
            "<update><version>%1</version><name>Größeres Update</name><files>a.zip</files>"
            "<filestoextract>a.zip</filestoextract><pw>12345301</pw><path>p</path><min>1.0.0</min>"
            "<max>1.0.9</max><start_file>setup.exe</start_file><new_dlls>False</new_dlls>"
            "<new_master_version>False</new_master_version><no_startup_args>True</no_startup_args>"
            "</update>");
        ASSERT_TRUE(document.loadXml(QStringLiteral("<updates>") +
                                     entry.arg(QStringLiteral("1.1.0")) +
                                     QStringLiteral("<hardware><karte>Ä</karte></hardware>") +
                                     entry.arg(QStringLiteral("1.2.0")) +
                                     QStringLiteral("<hardware>2</hardware></updates>")));
        answer = readProgramUpdateAnswer(document.documentElement());
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    XmlDocument document;
    ProgramUpdateAnswer answer;
};

// Answer order, the line end and the hardware of a sample answer are checked by the package
// download of the sample updates; here the code page, the reading back and appending.
TEST_F(ManifestWriter, ManifestIsWindows1252ReadBackAndHardwareIsAppended) {
    manifest::writeManifest(dir.path(), answer.updates);
    const QByteArray written = test::readFile(file("UpdateInfo.xml"));
    EXPECT_EQ(written, "<updates>" +
                           windows1252::encode(answer.updates[0].xml + answer.updates[1].xml) +
                           "</updates>\r\n");
    // The installation run reads it back into the same entries.
    XmlDocument manifest;
    ASSERT_TRUE(manifest.loadXml(ansi_text_file::read(file("UpdateInfo.xml"))));
    const auto entries = readManifestEntries(manifest.documentElement());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].version, QStringLiteral("1.2.0"));
    EXPECT_EQ(entries[0].name, QStringLiteral("Größeres Update"));
    // Without entries an older manifest stays.
    manifest::writeManifest(dir.path(), {});
    EXPECT_EQ(test::readFile(file("UpdateInfo.xml")), written);

    for (const QStringList& hardware : {answer.hardwareXml, answer.hardwareXml, QStringList()})
        manifest::appendHardware(dir.path(), hardware);
    const QByteArray once = "<hardware><karte>\xc4</karte></hardware><hardware>2</hardware>\r\n";
    EXPECT_EQ(test::readFile(file("Hardware.xml")), once + once);
}

TEST_F(ManifestWriter, FailedWritesLeaveThePreviousFiles) {
    const QMap<QString, QByteArray> before{{"Hardware.xml", QByteArray(8000, 'h')},
                                           {"UpdateInfo.xml", "<updates>alt</updates>\r\n"}};
    test::writeTree(dir.path(), before);
    {
        test::FileSizeLimit fullDisk(8100); // filled after a few kilobytes
        EXPECT_THROW(manifest::appendHardware(dir.path(), QStringList(200, answer.hardwareXml[0])),
                     RuntimeError);
        EXPECT_THROW(
            manifest::writeManifest(dir.path(), std::vector<UpdateEntry>(200, answer.updates[0])),
            RuntimeError);
    }
    EXPECT_EQ(test::readTree(dir.path()), before); // no temporary files left either
}

} // namespace
} // namespace upd
