#include "archive_peers.h"
#include "core/ansi_text_file.h"
#include "core/runtime_error.h"
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

TEST(ManifestWriter, ManifestIsUpdatesInAnswerOrderInWindows1252AndNothingElse) {
    QTemporaryDir dir;
    XmlDocument answer;
    const ProgramUpdateAnswer read = sampleAnswer(answer);
    test::writeTree(dir.path(), {{QStringLiteral("UpdateInfo.xml"), "alt"}});

    manifest::writeManifest(dir.path(), read.updates);

    const QByteArray expected = "<updates>" + read.updates[0].xml.toLatin1() +
                                read.updates[1].xml.toLatin1() + "</updates>\r\n";
    const QByteArray written = bytesOf(dir.filePath(QStringLiteral("UpdateInfo.xml")));
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(written.contains("Gr\xf6\xdf"
                                 "eres"));

    // The installation run reads it back into the same entries.
    XmlDocument manifest;
    ASSERT_TRUE(manifest.loadXml(ansi_text_file::read(dir.filePath("UpdateInfo.xml"))));
    const auto entries = readManifestEntries(manifest.documentElement());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].version, QStringLiteral("1.2.0"));
    EXPECT_EQ(entries[0].name, QStringLiteral("Größeres Update"));
    EXPECT_TRUE(entries[0].noStartupArgs);

    // Without entries an older manifest stays.
    manifest::writeManifest(dir.path(), {});
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("UpdateInfo.xml"))), expected);
}

TEST(ManifestWriter, HardwareIsAppendedAndNeverCreatedForNothing) {
    QTemporaryDir dir;
    XmlDocument answer;
    const ProgramUpdateAnswer read = sampleAnswer(answer);
    const QString path = dir.filePath(QStringLiteral("Hardware.xml"));

    manifest::appendHardware(dir.path(), {});
    EXPECT_FALSE(QFile::exists(path));

    manifest::appendHardware(dir.path(), read.hardwareXml);
    const QByteArray once = "<hardware><karte>\xc4</karte></hardware><hardware>2</hardware>\r\n";
    EXPECT_EQ(bytesOf(path), once);
    manifest::appendHardware(dir.path(), read.hardwareXml);
    EXPECT_EQ(bytesOf(path), once + once);
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
