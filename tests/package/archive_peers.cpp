#include "archive_peers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zip.h>

namespace upd::test {

void runTool(const QString& program, const QStringList& arguments,
             const QString& workingDirectory) {
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAll().toStdString();
}

void writeTree(const QString& directory, const QMap<QString, QByteArray>& files) {
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = directory + u'/' + it.key();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        ASSERT_EQ(file.write(it.value()), it.value().size());
    }
}

QMap<QString, QByteArray> readTree(const QString& directory) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(directory,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(directory);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString relative = base.relativeFilePath(path);
        if (info.isSymLink()) {
            tree.insert(relative + QStringLiteral(" -> ") + info.symLinkTarget(), {});
        } else if (info.isDir()) {
            tree.insert(relative + u'/', {});
        } else {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            tree.insert(relative, file.readAll());
        }
    }
    return tree;
}

QStringList listing(const QMap<QString, QByteArray>& tree) {
    QStringList lines;
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        const QByteArray digest = QCryptographicHash::hash(it.value(), QCryptographicHash::Sha1);
        lines << QStringLiteral("%1: %2 bytes, %3")
                     .arg(it.key())
                     .arg(it.value().size())
                     .arg(QString::fromLatin1(digest.toHex().left(8)));
    }
    return lines;
}

QStringList listing(const QString& directory) {
    return listing(readTree(directory));
}

void writeZipWithLibzip(const QString& archivePath, const std::vector<RawEntry>& entries,
                        const QByteArray& aesPassword) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << error;
    for (const RawEntry& entry : entries) {
        // The buffer source reads the content when the archive is closed: keep it alive.
        zip_source_t* source = zip_source_buffer(archive, entry.content.constData(),
                                                 zip_uint64_t(entry.content.size()), 0);
        ASSERT_NE(source, nullptr);
        const zip_int64_t index = zip_file_add(archive, entry.name.constData(), source,
                                               ZIP_FL_ENC_RAW | ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        ASSERT_EQ(zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                                   entry.unixMode << 16),
                  0);
        if (!aesPassword.isEmpty()) {
            ASSERT_EQ(zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256,
                                              aesPassword.constData()),
                      0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

int patchFile(const QString& path, const QByteArray& from, const QByteArray& to) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray content = file.readAll();
    const int count = int(content.count(from));
    content.replace(from, to);
    file.seek(0);
    file.write(content);
    return count;
}

void flipByte(const QString& path, qint64 offset) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    if (offset < 0)
        offset += file.size();
    ASSERT_TRUE(file.seek(offset));
    char byte = 0;
    ASSERT_TRUE(file.getChar(&byte));
    ASSERT_TRUE(file.seek(offset));
    ASSERT_TRUE(file.putChar(char(~byte)));
}

QByteArray le32(std::uint32_t value) {
    const std::uint32_t little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&little), 4);
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    // Writing past the limit raises SIGXFSZ; ignored, the write fails with EFBIG instead.
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    oldSoft_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = oldSoft_;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler_);
}

} // namespace upd::test
