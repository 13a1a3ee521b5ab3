#include "archive_peers.h"
#include "core/ansi_text_file.h"
#include "core/runtime_error.h"
#include "core/windows1252.h"
#include "package/manifest_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

ProgramUpdateAnswer sampleAnswer(XmlDocument& document) {
    const QString entry = QStringLiteral(
        "<update><version>%1</version><name>Größeres Update</name><files>a.zip</files>"
        "<filestoextract>a.zip</filestoextract><pw>12345301</pw><path>p</path><min>1.0.0</min>"
        "<max>1.0.9</max><start_file>setup.exe</start_file><new_dlls>False</new_dlls>"
        "<new_master_version>False</new_master_version><no_startup_args>True</no_startup_args>"
        "</update>");
    EXPECT_TRUE(document.loadXml(QStringLiteral("<updates>") + entry.arg(QStringLiteral("1.1.0")) +
                                 QStringLiteral("<hardware><karte>Ä</karte></hardware>") +
                                 entry.arg(QStringLiteral("1.2.0")) +
                                 QStringLiteral("<hardware>2</hardware></updates>")));
    return readProgramUpdateAnswer(document.documentElement());
}

// Answer order, the line end and the hardware of a sample answer are checked by the package
// download of the sample updates; here the code page, the reading back and appending.
TEST(ManifestWriter, ManifestIsWindows1252ReadBackAndHardwareIsAppended) {
    QTemporaryDir dir;
    XmlDocument answer;
    const ProgramUpdateAnswer read = sampleAnswer(answer);
    manifest::writeManifest(dir.path(), read.updates);
    const QByteArray written = bytesOf(dir.filePath(QStringLiteral("UpdateInfo.xml")));
    EXPECT_EQ(written, "<updates>" +
                           windows1252::encode(read.updates[0].xml + read.updates[1].xml) +
                           "</updates>\r\n");

    // The installation run reads it back into the same entries.
    XmlDocument manifest;
    ASSERT_TRUE(manifest.loadXml(ansi_text_file::read(dir.filePath("UpdateInfo.xml"))));
    const auto entries = readManifestEntries(manifest.documentElement());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].version, QStringLiteral("1.2.0"));
    EXPECT_EQ(entries[0].name, QStringLiteral("Größeres Update"));

    // Without entries an older manifest stays.
    manifest::writeManifest(dir.path(), {});
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("UpdateInfo.xml"))), written);

    const QString path = dir.filePath(QStringLiteral("Hardware.xml"));
    const QByteArray once = "<hardware><karte>\xc4</karte></hardware><hardware>2</hardware>\r\n";
    manifest::appendHardware(dir.path(), read.hardwareXml);
    manifest::appendHardware(dir.path(), read.hardwareXml);
    manifest::appendHardware(dir.path(), {});
    EXPECT_EQ(bytesOf(path), once + once);
}

TEST(ManifestWriter, FailedWritesLeaveThePreviousFiles) {
    QTemporaryDir dir;
    XmlDocument answer;
    const ProgramUpdateAnswer read = sampleAnswer(answer);
    const QByteArray oldHardware(8000, 'h');
    const QByteArray oldManifest = "<updates>alt</updates>\r\n";
    test::writeTree(dir.path(), {{QStringLiteral("Hardware.xml"), oldHardware},
                                 {QStringLiteral("UpdateInfo.xml"), oldManifest}});
    {
        // The disk fills up after a few kilobytes.
        test::FileSizeLimit limit(8100);
        QStringList lots;
        for (int i = 0; i < 100; ++i)
            lots << read.hardwareXml;
        EXPECT_THROW(manifest::appendHardware(dir.path(), lots), RuntimeError);
        std::vector<UpdateEntry> many(200, read.updates[0]);
        EXPECT_THROW(manifest::writeManifest(dir.path(), many), RuntimeError);
    }
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("Hardware.xml"))), oldHardware);
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("UpdateInfo.xml"))), oldManifest);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

} // namespace
} // namespace upd
