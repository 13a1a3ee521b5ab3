#pragma once

// Archives as the makers' tools and hostile senders write them, and a disk that fills up.

#include "support/test_files.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QtEndian>
#include <csignal>
#include <sys/resource.h>
#include <vector>
#include <zip.h>

namespace upd::test {

// Runs zip or 7z in `directory`; fails the test unless it exits with 0.
inline void runTool(const QStringList& command, const QString& directory) {
    QProcess process;
    process.setWorkingDirectory(directory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.front(), command.mid(1));
    ASSERT_TRUE(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
    ASSERT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
}

// Everything below `directory`, hidden files too, by relative path: directories end in "/",
// symbolic links name their target.
inline QMap<QString, QByteArray> readTree(const QString& directory) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(directory,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = QDir(directory).relativeFilePath(info.filePath());
        if (info.isSymLink())
            tree.insert(relative + QStringLiteral(" -> ") + info.symLinkTarget(), {});
        else if (info.isDir())
            tree.insert(relative + u'/', {});
        else
            tree.insert(relative, readFile(info.filePath()));
    }
    return tree;
}

// One line per entry, "path: size digest", for readable comparisons of large trees.
inline QStringList listing(const QMap<QString, QByteArray>& tree) {
    QStringList lines;
    for (auto it = tree.begin(); it != tree.end(); ++it)
        lines << it.key() + QStringLiteral(": %1 ").arg(it.value().size()) +
                     QCryptographicHash::hash(it.value(), QCryptographicHash::Sha1).toHex().left(8);
    return lines;
}
inline QStringList listing(const QString& directory) {
    return listing(readTree(directory));
}

// An entry written with libzip itself, for names and kinds no archiver writes.
struct RawEntry {
    QByteArray name;
    QByteArray content;
    std::uint32_t unixMode = 0100644; // with the file type bits: 0120777 is a symbolic link
};

inline void writeZipWithLibzip(const QString& archivePath, const std::vector<RawEntry>& entries,
                               const QByteArray& aesPassword = {}) {
    zip_t* archive =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    ASSERT_NE(archive, nullptr);
    for (const RawEntry& entry : entries) {
        // Read when the archive is closed: `entries` outlives it.
        zip_source_t* source = zip_source_buffer(archive, entry.content.constData(),
                                                 zip_uint64_t(entry.content.size()), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.constData(), source,
                                               ZIP_FL_ENC_RAW | ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        ASSERT_EQ(zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                                   entry.unixMode << 16),
                  0);
        ASSERT_TRUE(aesPassword.isEmpty() ||
                    zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256,
                                            aesPassword.constData()) == 0);
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

// The four bytes of `value` as a zip archive stores them.
inline QByteArray le32(std::uint32_t value) {
    const std::uint32_t little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&little), 4);
}

// Limits the size of files this process writes, as a full disk would, while it lives. SIGXFSZ is
// ignored so that the write fails with EFBIG instead of killing the test.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : oldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    void (*oldHandler)(int);
    rlimit old{};
};

} // namespace upd::test
