#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace upd::test {

// Runs a program (zip, 7z) in `workingDirectory`; fails the test when it does not exit with 0.
void runTool(const QString& program, const QStringList& arguments, const QString& workingDirectory);

// Writes files below `directory`, creating their directories; the keys are relative paths.
void writeTree(const QString& directory, const QMap<QString, QByteArray>& files);

// Every file below `directory` (hidden ones too) with its content, keyed by relative path;
// directories appear with a trailing "/" and empty content.
QMap<QString, QByteArray> readTree(const QString& directory);

// One line per entry of a tree, "path: size bytes, digest", for readable comparisons.
QStringList listing(const QMap<QString, QByteArray>& tree);
QStringList listing(const QString& directory);

// An entry of an archive written with libzip itself, for names and kinds no archiver writes.
struct RawEntry {
    QByteArray name;
    QByteArray content;
    std::uint32_t unixMode = 0100644; // with the file type bits; 0120777 makes a symbolic link
};
void writeZipWithLibzip(const QString& archivePath, const std::vector<RawEntry>& entries,
                        const QByteArray& aesPassword = {});

// Changes every occurrence of `from` in the file to `to` (same length); returns how many.
int patchFile(const QString& path, const QByteArray& from, const QByteArray& to);
// Inverts the bits of the byte at `offset` (negative: from the end).
void flipByte(const QString& path, qint64 offset);
// The four bytes of `value` as a zip archive stores them.
QByteArray le32(std::uint32_t value);

// Limits the size of files this process writes, as a full disk would; restored on destruction.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t oldSoft_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

} // namespace upd::test
