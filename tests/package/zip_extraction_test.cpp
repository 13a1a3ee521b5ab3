#include "archive_peers.h"
#include "package/zip_extraction.h"

#include <QTemporaryDir>
#include <algorithm>
#include <sys/stat.h>

namespace upd {
namespace {

using test::RawEntry;

unsigned modeOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

// A work directory with the update directory "Updates/1.1.0" inside it; everything else in the
// work directory counts as outside. Archives and their sources are made in a scratch directory.
class ZipExtraction : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(target()) && QDir().mkpath(source())); }

    QString target(const QString& name = {}) const {
        return work.filePath(QStringLiteral("Updates/1.1.0/") + name);
    }
    QString source() const { return scratch.filePath(QStringLiteral("src")); }
    QString archive() const { return scratch.filePath(QStringLiteral("update.zip")); }
    ExtractionOutcome extract(const QString& password = {}, const ExtractionLimits& limits = {}) {
        return extractArchive(archive(), target(), password, limits);
    }
    // Resets the update directory to just these files.
    void targetHolds(const QMap<QString, QByteArray>& files) {
        QDir(target()).removeRecursively();
        test::writeTree(target(), files);
    }

    // Files of the work directory outside the update directory.
    QStringList outside() const {
        QMap<QString, QByteArray> tree = test::readTree(work.path());
        tree.removeIf([](auto it) { return it.key().startsWith(QStringLiteral("Updates/")); });
        return test::listing(tree);
    }
    bool hasTemporaryFiles() const {
        const QStringList paths = test::readTree(target()).keys();
        return std::any_of(paths.begin(), paths.end(), [](const QString& path) {
            return QFileInfo(path).fileName().startsWith(QStringLiteral(".extract-"));
        });
    }

    QTemporaryDir work;
    QTemporaryDir scratch;
};

TEST_F(ZipExtraction, ArchivesOfZipAnd7zUnpackWholeOnlyWithTheRightPassword) {
    // A setup script that must stay executable, sub-directories, an empty directory and a file
    // larger than one piece of the copy loop.
    const QMap<QString, QByteArray> sample{
        {QStringLiteral("setup.sh"), "#!/bin/sh\necho installiert\n"},
        {QStringLiteral("daten/liesmich.txt"), QByteArray(20000, 'a') + "Ende"},
        {QStringLiteral("daten/geheim.txt"), "nur der Besitzer"},
        {QStringLiteral("gross.bin"), test::randomBytes(700 * 1024)},
    };
    test::writeTree(source(), sample);
    ASSERT_TRUE(QDir(source()).mkpath(QStringLiteral("daten/leer")));
    // Stored modes: the execute bit stays, nobody else may write, the owner may always read.
    const std::tuple<const char*, unsigned, unsigned> modes[] = {{"setup.sh", 0755, 0755},
                                                                 {"daten/liesmich.txt", 0666, 0644},
                                                                 {"daten/geheim.txt", 0200, 0600}};
    for (const auto& [file, stored, kept] : modes)
        ::chmod(QFile::encodeName(source() + u'/' + QLatin1String(file)).constData(), stored);
    QMap<QString, QByteArray> unpacked = sample;
    unpacked.insert(QStringLiteral("daten/"), {});
    unpacked.insert(QStringLiteral("daten/leer/"), {});
    unpacked.insert(QStringLiteral("bleibt.txt"), "nicht im Archiv");

    const QString right = QStringLiteral("-4711"), wrong = QStringLiteral("4711");
    const QStringList zip = QStringLiteral("zip -q -r").split(u' ');
    const QStringList aes256 = QStringLiteral("7z a -bd -tzip -p-4711 -mem=AES256").split(u' ');
    const QStringList aes128Stored =
        QStringLiteral("7z a -bd -tzip -p-4711 -mem=AES128 -mx=0").split(u' ');
    // The traditional encryption with the right password is unpacked by the package download of
    // the sample updates. A wrong password meets the same verifier check for either AES key
    // length.
    const struct {
        const char* maker;
        QStringList command; // run in the source directory with the archive and "." appended
        QString password;
        ExtractionResult expected;
    } cases[] = {
        {"zip", zip, QString(), ExtractionResult::Ok},
        {"zip -P, no password", zip + QStringList{"-P", right}, QString(),
         ExtractionResult::WrongPassword},
        {"7z AES-256, right password", aes256, right, ExtractionResult::Ok},
        {"7z AES-256, wrong password", aes256, wrong, ExtractionResult::WrongPassword},
        {"7z AES-128 stored, right password", aes128Stored, right, ExtractionResult::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maker);
        QFile::remove(archive());
        targetHolds({{QStringLiteral("setup.sh"), "alte Fassung"},
                     {QStringLiteral("bleibt.txt"), "nicht im Archiv"}});
        test::runTool(c.command + QStringList{archive(), "."}, source());
        const QStringList outsideBefore = outside();

        const ExtractionOutcome outcome = extract(c.password);

        EXPECT_EQ(outcome.result, c.expected) << outcome.detail.toStdString();
        EXPECT_EQ(outside(), outsideBefore);
        EXPECT_FALSE(hasTemporaryFiles());
        if (c.expected != ExtractionResult::Ok) {
            EXPECT_FALSE(outcome.entry.isEmpty());
            EXPECT_EQ(test::readFile(target("setup.sh")), "alte Fassung");
            EXPECT_FALSE(QFile::exists(target("gross.bin")));
            continue;
        }
        EXPECT_EQ(test::listing(target()), test::listing(unpacked));
        for (const auto& [file, stored, kept] : modes)
            EXPECT_EQ(modeOf(target(QLatin1String(file))), kept) << file;
    }
}

// A wrong password passes the traditional encryption's one-byte check once in 256 times; the
// entry then decrypts to garbage, which must end as a failure, never as a file.
TEST_F(ZipExtraction, WrongTraditionalPasswordThatPassesTheHeaderCheckStillFails) {
    test::writeFile(source() + QStringLiteral("/setup.exe"), test::randomBytes(50000));
    test::runTool({"zip", "-q", "-P", "12345", archive(), "setup.exe"}, source());
    zip_t* za = zip_open(QFile::encodeName(archive()).constData(), ZIP_RDONLY, nullptr);
    ASSERT_NE(za, nullptr);
    QByteArray accepted;
    for (int i = 0; i < 20000 && accepted.isEmpty(); ++i) {
        const QByteArray candidate = QByteArray::number(i);
        zip_file_t* file = candidate == "12345"
                               ? nullptr
                               : zip_fopen_index_encrypted(za, 0, 0, candidate.constData());
        if (file != nullptr) {
            zip_fclose(file);
            accepted = candidate;
        }
    }
    zip_discard(za);
    ASSERT_FALSE(accepted.isEmpty()) << "no password passed the header check";

    EXPECT_EQ(extract(QString::fromLatin1(accepted)).result, ExtractionResult::WrongPassword);
    EXPECT_EQ(test::listing(target()), QStringList());
}

// Damage that the reader must notice, whether the archive is plain (written by zip) or
// AES-encrypted with a password that still opens it: the authentication code (AE-2) or the CRC
// (AE-1, which carries one) must catch what the data hides.
TEST_F(ZipExtraction, CorruptArchivesFailAndLeaveTheOldFile) {
    // Half compressible: zip deflates it, and the AES data is long enough to damage inside.
    const QByteArray second = "zweite Datei " + QByteArray(50000, 'b') + test::randomBytes(50000);
    test::writeTree(source(), {{QStringLiteral("a.txt"), QByteArray(100000, 'a')},
                               {QStringLiteral("b.txt"), second}});
    test::runTool({"zip", "-q", archive(), "a.txt", "b.txt"}, source());
    const QByteArray plain = test::readFile(archive());
    test::writeZipWithLibzip(archive(), {RawEntry{"b.txt", second}}, "815");
    const QByteArray aes = test::readFile(archive());

    // Changes both occurrences, local and central header.
    const auto patched = [](QByteArray bytes, const QByteArray& from, const QByteArray& to) {
        EXPECT_EQ(bytes.count(from), 2);
        return bytes.replace(from, to);
    };
    const auto flipped = [](QByteArray bytes, qsizetype offset) {
        bytes[offset] = char(~bytes[offset]);
        return bytes;
    };
    const auto crcOf = [](const QByteArray& bytes) { // of the last entry's local header
        return bytes.mid(bytes.lastIndexOf("PK\3\4") + 14, 4);
    };
    const QByteArray ae1 = patched(aes, QByteArray::fromHex("0199070002004145"),
                                   QByteArray::fromHex("0199070001004145"));
    const struct {
        const char* what;
        QByteArray archive;
        ExtractionResult expected = ExtractionResult::Corrupt;
    } cases[] = {
        {"truncated", plain.left(plain.size() / 2)},
        {"deflated data damaged", flipped(plain, plain.indexOf("b.txt") + 65)},
        // A bomb's trick: the directory promises little, the data unpacks to more.
        {"declared size smaller than the content",
         patched(plain, test::le32(std::uint32_t(second.size())), test::le32(1000))},
        {"CRC in both headers wrong", patched(plain, crcOf(plain), flipped(crcOf(plain), 0))},
        {"AE-2, a data byte flipped", flipped(aes, 10000)},
        {"AE-1, intact", ae1, ExtractionResult::Ok},
        {"AE-1, CRC wrong", patched(ae1, crcOf(ae1), flipped(crcOf(ae1), 0))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        targetHolds({{QStringLiteral("b.txt"), "alt"}});
        test::writeFile(archive(), c.archive);

        const ExtractionOutcome outcome = extract(QStringLiteral("815"));

        EXPECT_EQ(outcome.result, c.expected) << outcome.detail.toStdString();
        EXPECT_TRUE(outcome.ok() || !outcome.detail.isEmpty());
        EXPECT_EQ(test::readFile(target("b.txt")), outcome.ok() ? second : QByteArray("alt"));
        EXPECT_FALSE(hasTemporaryFiles());
    }
}

TEST_F(ZipExtraction, HostileEntriesAreRefusedBeforeAnythingIsWritten) {
    const QByteArray absolute = QFile::encodeName(work.filePath(QStringLiteral("evil.txt")));
    // One entry per refusal; the names only the name rule refuses: safe_names_test.cpp.
    const RawEntry hostile[] = {
        {"../evil.txt", "x"},  {absolute, "x"},       {"..\\evil.txt", "x"},
        {"C:evil.txt", "x"},   {"evil\x01.txt", "x"}, {"link", "../..", 0120777},
        {"fifo", "", 0010644},
    };
    const QStringList outsideBefore = outside();
    for (const RawEntry& entry : hostile) {
        SCOPED_TRACE(entry.name.toStdString());
        QDir(target()).removeRecursively();
        test::writeZipWithLibzip(
            archive(), {RawEntry{"ok.txt", "harmlos"}, entry, RawEntry{"zuletzt.txt", "harmlos"}});

        const ExtractionOutcome outcome = extract();

        EXPECT_EQ(outcome.result, ExtractionResult::UnsafeEntry);
        EXPECT_EQ(outcome.entry, QString::fromUtf8(entry.name));
        EXPECT_EQ(test::listing(target()), QStringList());
        EXPECT_EQ(outside(), outsideBefore);
    }
}

// A link in place of a directory is refused; one in place of a file is replaced by the file.
// Either way, what it points to stays untouched.
TEST_F(ZipExtraction, SymbolicLinksInTheTargetAreNeverFollowed) {
    const QString victim = work.filePath(QStringLiteral("elsewhere/opfer.txt"));
    test::writeFile(victim, "unberührt");
    ASSERT_TRUE(QFile::link(QFileInfo(victim).path(), target("sub")));
    ASSERT_TRUE(QFile::link(victim, target("datei.txt")));
    const struct {
        RawEntry entry;
        ExtractionResult expected;
    } cases[] = {
        {{"sub/opfer.txt", "überschrieben"}, ExtractionResult::UnsafeEntry},
        {{"datei.txt", "neu"}, ExtractionResult::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry.name.toStdString());
        test::writeZipWithLibzip(archive(), {c.entry});
        EXPECT_EQ(extract().result, c.expected);
        EXPECT_EQ(test::readFile(victim), "unberührt");
    }
    EXPECT_FALSE(QFileInfo(target("datei.txt")).isSymLink());
    EXPECT_EQ(test::readFile(target("datei.txt")), "neu");
}

TEST_F(ZipExtraction, LimitsStopZipBombsBeforeAnythingIsWritten) {
    // A megabyte of zeros deflates to about a kilobyte.
    test::writeZipWithLibzip(archive(), {RawEntry{"a.bin", QByteArray(1 << 20, '\0')},
                                         RawEntry{"b.bin", "b"}, RawEntry{"c.bin", "c"}});
    ASSERT_LT(QFileInfo(archive()).size(), 20000);
    const struct {
        ExtractionLimits limits;
        ExtractionResult expected;
    } cases[] = {
        {{100'000, 1 << 20}, ExtractionResult::TooLarge},
        {{2, 4ull << 30}, ExtractionResult::TooLarge},
        {{3, (1 << 20) + 2}, ExtractionResult::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limits.maxEntries);
        EXPECT_EQ(test::listing(target()), QStringList());
        EXPECT_EQ(extract({}, c.limits).result, c.expected);
    }
}

TEST_F(ZipExtraction, WriteFailuresAndCancellationLeaveNoPartialFile) {
    test::writeZipWithLibzip(archive(), {RawEntry{"klein.txt", "klein"},
                                         RawEntry{"gross.bin", test::randomBytes(600 * 1024)}});
    targetHolds({{QStringLiteral("gross.bin"), "alt"}});
    {
        test::FileSizeLimit fullDisk(100 * 1024);
        const ExtractionOutcome outcome = extract();
        EXPECT_EQ(outcome.result, ExtractionResult::WriteFailed);
        EXPECT_EQ(outcome.entry, QStringLiteral("gross.bin"));
        EXPECT_FALSE(outcome.detail.isEmpty());
    }
    EXPECT_EQ(test::readFile(target("gross.bin")), "alt");
    EXPECT_FALSE(hasTemporaryFiles());

    // Stopped by the progress callback in the middle of the large file.
    EXPECT_EQ(extractArchive(archive(), target(), {}, {},
                             [](std::uint64_t written, auto) { return written < 300 * 1024; })
                  .result,
              ExtractionResult::Cancelled);
    EXPECT_EQ(test::readFile(target("gross.bin")), "alt");
    EXPECT_FALSE(hasTemporaryFiles());

    // Something of the wrong kind in the way: a directory for a file, a file for a directory.
    QDir(target()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(target("gross.bin")));
    EXPECT_EQ(extract().result, ExtractionResult::WriteFailed);
    targetHolds({{QStringLiteral("sub"), "eine Datei"}});
    test::writeZipWithLibzip(archive(), {RawEntry{"sub/x.txt", "x"}});
    EXPECT_EQ(extract().result, ExtractionResult::WriteFailed);
    EXPECT_FALSE(hasTemporaryFiles());
}

} // namespace
} // namespace upd
