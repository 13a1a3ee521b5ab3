#include "archive_peers.h"
#include "package/zip_extraction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <zip.h>

namespace upd {
namespace {

using test::RawEntry;

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(4711);
    for (char& c : bytes)
        c = char(generator.generate());
    return bytes;
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

// A work directory with the update directory "Updates/1.1.0" inside it; everything else in the
// work directory counts as outside. Archives and their sources are made in a scratch directory.
class ZipExtraction : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid() && scratch.isValid());
        ASSERT_TRUE(QDir().mkpath(target()));
        ASSERT_TRUE(QDir().mkpath(source()));
    }

    QString target() const { return work.filePath(QStringLiteral("Updates/1.1.0")); }
    QString source() const { return scratch.filePath(QStringLiteral("src")); }
    QString archive() const { return scratch.filePath(QStringLiteral("update.zip")); }

    // The sample package: a setup script that must stay executable, sub-directories, an empty
    // directory and a file larger than one piece of the copy loop.
    void writeSample() {
        test::writeTree(source(), sample);
        ASSERT_TRUE(QDir(source()).mkpath(QStringLiteral("daten/leer")));
        ::chmod(QFile::encodeName(source() + QStringLiteral("/setup.sh")).constData(), 0755);
        ::chmod(QFile::encodeName(source() + QStringLiteral("/daten/liesmich.txt")).constData(),
                0666);
        ::chmod(QFile::encodeName(source() + QStringLiteral("/daten/geheim.txt")).constData(),
                0200);
    }

    QMap<QString, QByteArray> expectedSampleTree() const {
        QMap<QString, QByteArray> tree = sample;
        tree.insert(QStringLiteral("daten/"), {});
        tree.insert(QStringLiteral("daten/leer/"), {});
        return tree;
    }

    // Files of the work directory outside the update directory.
    QMap<QString, QByteArray> outside() const {
        QMap<QString, QByteArray> tree = test::readTree(work.path());
        tree.removeIf([](QMap<QString, QByteArray>::iterator it) {
            return it.key().startsWith(QStringLiteral("Updates/"));
        });
        return tree;
    }

    bool hasTemporaryFiles() const {
        const auto tree = test::readTree(target());
        return std::any_of(tree.keyBegin(), tree.keyEnd(), [](const QString& path) {
            return QFileInfo(path).fileName().startsWith(QStringLiteral(".extract-"));
        });
    }

    QTemporaryDir work;
    QTemporaryDir scratch;
    const QMap<QString, QByteArray> sample{
        {QStringLiteral("setup.sh"), "#!/bin/sh\necho installiert\n"},
        {QStringLiteral("daten/liesmich.txt"), QByteArray(20000, 'a') + "Ende"},
        {QStringLiteral("daten/geheim.txt"), "nur der Besitzer"},
        {QStringLiteral("gross.bin"), randomBytes(700 * 1024)},
    };
};

TEST_F(ZipExtraction, ArchivesOfZipAnd7zUnpackWholeOnlyWithTheRightPassword) {
    writeSample();
    const QString right = QStringLiteral("-4711");
    const QStringList zip{QStringLiteral("zip"), QStringLiteral("-q"), QStringLiteral("-r")};
    const QStringList aes256{QStringLiteral("7z"),         QStringLiteral("a"),
                             QStringLiteral("-bd"),        QStringLiteral("-tzip"),
                             QStringLiteral("-p") + right, QStringLiteral("-mem=AES256")};
    QStringList aes128Stored = aes256;
    aes128Stored[5] = QStringLiteral("-mem=AES128");
    aes128Stored << QStringLiteral("-mx=0");
    const QString wrong = QStringLiteral("4711");
    // The traditional encryption with the right and a wrong password is unpacked by the package
    // download of the sample updates.
    const struct {
        const char* maker;
        QStringList arguments; // in the source directory; the archive path is appended before "."
        QString password;
        ExtractionResult expected;
    } cases[] = {
        {"zip", zip, QString(), ExtractionResult::Ok},
        {"zip -P, no password", zip + QStringList{QStringLiteral("-P"), right}, QString(),
         ExtractionResult::WrongPassword},
        {"7z AES-256, right password", aes256, right, ExtractionResult::Ok},
        {"7z AES-256, wrong password", aes256, wrong, ExtractionResult::WrongPassword},
        {"7z AES-256, no password", aes256, QString(), ExtractionResult::WrongPassword},
        {"7z AES-128 stored, right password", aes128Stored, right, ExtractionResult::Ok},
        {"7z AES-128 stored, wrong password", aes128Stored, wrong, ExtractionResult::WrongPassword},
    };
    qint64 sampleBytes = 0;
    for (const QByteArray& content : sample)
        sampleBytes += content.size();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maker);
        QFile::remove(archive());
        QDir(target()).removeRecursively();
        const QMap<QString, QByteArray> old{{QStringLiteral("setup.sh"), "alte Fassung"},
                                            {QStringLiteral("bleibt.txt"), "nicht im Archiv"}};
        test::writeTree(target(), old);
        test::runTool(c.arguments.front(), c.arguments.mid(1) << archive() << QStringLiteral("."),
                      source());
        const auto outsideBefore = outside();

        std::uint64_t lastWritten = 0, lastTotal = 0;
        const ExtractionOutcome outcome =
            extractArchive(archive(), target(), c.password, {}, [&](std::uint64_t w, auto t) {
                EXPECT_GE(w, lastWritten);
                lastWritten = w;
                lastTotal = t;
                return true;
            });

        EXPECT_EQ(outcome.result, c.expected)
            << outcome.entry.toStdString() << ": " << outcome.detail.toStdString();
        EXPECT_EQ(test::listing(outside()), test::listing(outsideBefore));
        EXPECT_FALSE(hasTemporaryFiles());
        if (c.expected != ExtractionResult::Ok) {
            EXPECT_NE(outcome.errorCode(), 0);
            EXPECT_FALSE(outcome.entry.isEmpty());
            const auto left = test::readTree(target());
            EXPECT_EQ(left.value(QStringLiteral("setup.sh")), "alte Fassung");
            EXPECT_FALSE(left.contains(QStringLiteral("gross.bin")));
            continue;
        }
        EXPECT_EQ(outcome.errorCode(), 0);
        auto expected = expectedSampleTree();
        expected.insert(QStringLiteral("bleibt.txt"), "nicht im Archiv");
        EXPECT_EQ(test::listing(target()), test::listing(expected));
        EXPECT_EQ(lastWritten, std::uint64_t(sampleBytes));
        EXPECT_EQ(lastTotal, std::uint64_t(sampleBytes));
        // Stored modes: the execute bit stays, nobody else may write, the owner may always read.
        EXPECT_EQ(modeOf(target() + QStringLiteral("/setup.sh")), 0755u);
        EXPECT_EQ(modeOf(target() + QStringLiteral("/daten/liesmich.txt")), 0644u);
        EXPECT_EQ(modeOf(target() + QStringLiteral("/daten/geheim.txt")), 0600u);
    }
}

// A wrong password passes the traditional encryption's one-byte check once in 256 times; the
// entry then decrypts to garbage, which must end as a failure, never as a file.
TEST_F(ZipExtraction, WrongTraditionalPasswordThatPassesTheHeaderCheckStillFails) {
    test::writeTree(source(), {{QStringLiteral("setup.exe"), randomBytes(50000)}});
    test::runTool(QStringLiteral("zip"),
                  {QStringLiteral("-q"), QStringLiteral("-P"), QStringLiteral("12345"), archive(),
                   QStringLiteral("setup.exe")},
                  source());
    zip_t* za = zip_open(QFile::encodeName(archive()).constData(), ZIP_RDONLY, nullptr);
    ASSERT_NE(za, nullptr);
    QByteArray accepted;
    for (int i = 0; i < 20000 && accepted.isEmpty(); ++i) {
        const QByteArray candidate = QByteArray::number(i);
        if (candidate == "12345")
            continue;
        if (zip_file_t* file = zip_fopen_index_encrypted(za, 0, 0, candidate.constData())) {
            zip_fclose(file);
            accepted = candidate;
        }
    }
    zip_discard(za);
    ASSERT_FALSE(accepted.isEmpty()) << "no password passed the header check";

    const ExtractionOutcome outcome =
        extractArchive(archive(), target(), QString::fromLatin1(accepted));

    EXPECT_EQ(outcome.result, ExtractionResult::WrongPassword) << outcome.detail.toStdString();
    EXPECT_EQ(test::listing(target()), QStringList());
}

// Damaged encrypted data that the password still opens: the authentication code (AES) or the
// CRC (AE-1, which carries one) must catch it.
TEST_F(ZipExtraction, DamagedAesEntriesFailAndLeaveTheOldFile) {
    const QByteArray content = QByteArray(30000, 'x') + randomBytes(30000);
    const QByteArray password = "815";
    // An intact AE-2 archive (of 7z) opens in the test of encrypted archives.
    const struct {
        const char* what;
        bool ae1; // the libzip archive relabelled AE-1, which carries a CRC
        bool breakCrc;
        bool flipData;
        ExtractionResult expected;
    } cases[] = {
        {"AE-2, data byte flipped", false, false, true, ExtractionResult::Corrupt},
        {"AE-1, intact", true, false, false, ExtractionResult::Ok},
        {"AE-1, CRC wrong", true, true, false, ExtractionResult::Corrupt},
    };
    for (const auto& d : cases) {
        SCOPED_TRACE(d.what);
        test::writeTree(target(), {{QStringLiteral("daten.bin"), "alt"}});
        test::writeZipWithLibzip(archive(), {RawEntry{"daten.bin", content}}, password);
        if (d.ae1) {
            // The AES extra field of the local and of the central header.
            ASSERT_EQ(test::patchFile(archive(), QByteArray::fromHex("0199070002004145"),
                                      QByteArray::fromHex("0199070001004145")),
                      2);
        }
        if (d.breakCrc) {
            zip_t* za = zip_open(QFile::encodeName(archive()).constData(), ZIP_RDONLY, nullptr);
            zip_stat_t stat;
            ASSERT_TRUE(za && zip_stat_index(za, 0, 0, &stat) == 0);
            zip_discard(za);
            ASSERT_EQ(test::patchFile(archive(), test::le32(stat.crc), test::le32(stat.crc ^ 1u)),
                      2);
        }
        if (d.flipData)
            test::flipByte(archive(), 10000); // inside the encrypted data of the only entry

        const ExtractionOutcome outcome =
            extractArchive(archive(), target(), QString::fromLatin1(password));

        EXPECT_EQ(outcome.result, d.expected) << outcome.detail.toStdString();
        const QByteArray left = test::readTree(target()).value(QStringLiteral("daten.bin"));
        EXPECT_EQ(left, d.expected == ExtractionResult::Ok ? content : QByteArray("alt"));
        EXPECT_FALSE(hasTemporaryFiles());
    }
}

TEST_F(ZipExtraction, CorruptArchivesFailWithoutPartialFiles) {
    test::writeTree(source(),
                    {{QStringLiteral("a.txt"), QByteArray(100000, 'a')},
                     {QStringLiteral("b.txt"), "zweite Datei " + QByteArray(100000, 'b')}});
    test::runTool(
        QStringLiteral("zip"),
        {QStringLiteral("-q"), archive(), QStringLiteral("a.txt"), QStringLiteral("b.txt")},
        source());
    const QByteArray bytes = test::readTree(scratch.path()).value(QStringLiteral("update.zip"));
    const qint64 secondEntry = bytes.indexOf("b.txt");
    // Changes both occurrences (local and central header) of `from` to `to`.
    const auto patched = [&](const QByteArray& from, const QByteArray& to) {
        EXPECT_EQ(bytes.count(from), 2);
        return QByteArray(bytes).replace(from, to);
    };
    QByteArray damaged = bytes;
    damaged[secondEntry + 5 + 60] = char(~damaged[secondEntry + 5 + 60]);
    const QByteArray crc = bytes.mid(secondEntry - 30 + 14, 4);
    QByteArray brokenCrc = crc;
    brokenCrc[0] = char(brokenCrc[0] ^ 0x55);
    const std::pair<const char*, std::optional<QByteArray>> cases[] = {
        {"truncated", bytes.left(bytes.size() / 2)},
        {"not a zip archive", "PK\3\4 kein Archiv"},
        {"missing", std::nullopt},
        {"deflated data damaged", damaged},
        // A bomb's trick: the directory promises little, the data unpacks to more.
        {"declared size smaller than the content",
         patched(test::le32(13 + 100000), test::le32(1000))},
        {"CRC in both headers wrong", patched(crc, brokenCrc)},
    };
    for (const auto& [what, content] : cases) {
        SCOPED_TRACE(what);
        QDir(target()).removeRecursively();
        test::writeTree(target(), {{QStringLiteral("b.txt"), "alt"}});
        QFile::remove(archive());
        if (content)
            test::writeTree(scratch.path(), {{QStringLiteral("update.zip"), *content}});

        const ExtractionOutcome outcome = extractArchive(archive(), target(), QString());

        EXPECT_EQ(outcome.result, ExtractionResult::Corrupt) << outcome.detail.toStdString();
        EXPECT_FALSE(outcome.detail.isEmpty());
        EXPECT_EQ(test::readTree(target()).value(QStringLiteral("b.txt")), "alt");
        EXPECT_FALSE(hasTemporaryFiles());
    }
}

TEST_F(ZipExtraction, HostileEntriesAreRefusedBeforeAnythingIsWritten) {
    const QByteArray absolute = QFile::encodeName(work.filePath(QStringLiteral("evil.txt")));
    const std::vector<RawEntry> hostile{
        {"../evil.txt", "x"},       {"sub/../../evil.txt", "x"},
        {"../../evil.txt", "x"},    {absolute, "x"},
        {"..\\evil.txt", "x"},      {"sub\\..\\..\\evil.txt", "x"},
        {"C:evil.txt", "x"},        {"C:/evil.txt", "x"},
        {"sub//evil.txt", "x"},     {"./evil.txt", "x"},
        {"evil\x01.txt", "x"},      {"*.txt", "x"},
        {"link", "../..", 0120777}, {"link", absolute, 0120777},
        {"fifo", "", 0010644},
    };
    const auto outsideBefore = outside();
    for (const RawEntry& entry : hostile) {
        SCOPED_TRACE(entry.name.toStdString());
        QDir(target()).removeRecursively();
        test::writeZipWithLibzip(
            archive(), {RawEntry{"ok.txt", "harmlos"}, entry, RawEntry{"zuletzt.txt", "harmlos"}});

        const ExtractionOutcome outcome = extractArchive(archive(), target(), QString());

        EXPECT_EQ(outcome.result, ExtractionResult::UnsafeEntry);
        EXPECT_EQ(outcome.entry, QString::fromUtf8(entry.name));
        EXPECT_EQ(test::listing(target()), QStringList());
        EXPECT_EQ(test::listing(outside()), test::listing(outsideBefore));
    }
}

TEST_F(ZipExtraction, SymbolicLinksInTheTargetAreNeverFollowed) {
    const QString elsewhere = work.filePath(QStringLiteral("elsewhere"));
    test::writeTree(elsewhere, {{QStringLiteral("opfer.txt"), "unberührt"}});
    ASSERT_TRUE(QFile::link(elsewhere, target() + QStringLiteral("/sub")));
    ASSERT_TRUE(QFile::link(elsewhere + QStringLiteral("/opfer.txt"),
                            target() + QStringLiteral("/datei.txt")));

    // A link in place of a directory: refused.
    test::writeZipWithLibzip(archive(), {RawEntry{"sub/opfer.txt", "überschrieben"}});
    ExtractionOutcome outcome = extractArchive(archive(), target(), QString());
    EXPECT_EQ(outcome.result, ExtractionResult::UnsafeEntry);
    EXPECT_EQ(test::readTree(elsewhere).value(QStringLiteral("opfer.txt")), "unberührt");

    // A link in place of a file: replaced by the file, its target untouched.
    test::writeZipWithLibzip(archive(), {RawEntry{"datei.txt", "neu"}});
    outcome = extractArchive(archive(), target(), QString());
    EXPECT_TRUE(outcome.ok()) << outcome.detail.toStdString();
    EXPECT_FALSE(QFileInfo(target() + QStringLiteral("/datei.txt")).isSymLink());
    EXPECT_EQ(test::readTree(target()).value(QStringLiteral("datei.txt")), "neu");
    EXPECT_EQ(test::readTree(elsewhere).value(QStringLiteral("opfer.txt")), "unberührt");
}

TEST_F(ZipExtraction, LimitsStopZipBombsBeforeAnythingIsWritten) {
    // A megabyte of zeros deflates to about a kilobyte.
    test::writeZipWithLibzip(archive(), {RawEntry{"a.bin", QByteArray(1 << 20, '\0')},
                                         RawEntry{"b.bin", "b"}, RawEntry{"c.bin", "c"}});
    ASSERT_LT(QFileInfo(archive()).size(), 20000);

    ExtractionLimits limits;
    limits.maxTotalBytes = 1 << 20;
    EXPECT_EQ(extractArchive(archive(), target(), QString(), limits).result,
              ExtractionResult::TooLarge);
    limits = {};
    limits.maxEntries = 2;
    EXPECT_EQ(extractArchive(archive(), target(), QString(), limits).result,
              ExtractionResult::TooLarge);
    EXPECT_EQ(test::listing(target()), QStringList());

    limits.maxEntries = 3;
    limits.maxTotalBytes = (1 << 20) + 2;
    EXPECT_TRUE(extractArchive(archive(), target(), QString(), limits).ok());
}

TEST_F(ZipExtraction, WriteFailuresAndCancellationLeaveNoPartialFile) {
    const QByteArray big = randomBytes(600 * 1024);
    test::writeZipWithLibzip(archive(),
                             {RawEntry{"klein.txt", "klein"}, RawEntry{"gross.bin", big}});

    // A full disk, as far as this process can tell.
    test::writeTree(target(), {{QStringLiteral("gross.bin"), "alt"}});
    {
        test::FileSizeLimit limit(100 * 1024);
        const ExtractionOutcome outcome = extractArchive(archive(), target(), QString());
        EXPECT_EQ(outcome.result, ExtractionResult::WriteFailed);
        EXPECT_EQ(outcome.entry, QStringLiteral("gross.bin"));
        EXPECT_FALSE(outcome.detail.isEmpty());
    }
    EXPECT_EQ(test::readTree(target()).value(QStringLiteral("gross.bin")), "alt");
    EXPECT_FALSE(hasTemporaryFiles());

    // Stopped by the progress callback in the middle of the large file.
    const ExtractionOutcome cancelled =
        extractArchive(archive(), target(), QString(), {},
                       [](std::uint64_t written, std::uint64_t) { return written < 300 * 1024; });
    EXPECT_EQ(cancelled.result, ExtractionResult::Cancelled);
    EXPECT_EQ(test::readTree(target()).value(QStringLiteral("gross.bin")), "alt");
    EXPECT_FALSE(hasTemporaryFiles());

    // Something of the wrong kind in the way.
    QDir(target()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(target() + QStringLiteral("/gross.bin")));
    EXPECT_EQ(extractArchive(archive(), target(), QString()).result, ExtractionResult::WriteFailed);
    QDir(target()).removeRecursively();
    test::writeTree(target(), {{QStringLiteral("sub"), "eine Datei"}});
    test::writeZipWithLibzip(archive(), {RawEntry{"sub/x.txt", "x"}});
    EXPECT_EQ(extractArchive(archive(), target(), QString()).result, ExtractionResult::WriteFailed);
    EXPECT_FALSE(hasTemporaryFiles());
}

} // namespace
} // namespace upd
