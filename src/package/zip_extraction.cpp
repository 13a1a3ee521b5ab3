#include "package/zip_extraction.h"

#include "package/safe_names.h"
#include "package/zip_entry_reader.h"

#include <QSet>
#include <QTemporaryFile>
#include <filesystem>
#include <vector>

namespace upd {
namespace {

namespace fs = std::filesystem;

// Mode bits of a Unix host's external attributes (upper 16 bits).
constexpr std::uint32_t UnixTypeMask = 0170000;
constexpr std::uint32_t UnixRegular = 0100000;
constexpr std::uint32_t UnixDirectory = 0040000;
constexpr std::uint32_t UnixPermissionMask = 0777;
// Attribute bits of MS-DOS and Windows hosts.
constexpr std::uint32_t DosDirectory = 0x10;
constexpr std::uint32_t DosReparsePoint = 0x400;

// Group and others never get write access; the owner can always read a file and use a directory.
constexpr unsigned KeptPermissions = 0755;
constexpr unsigned OwnerFileMinimum = 0400;
constexpr unsigned OwnerDirectoryMinimum = 0700;
constexpr unsigned DefaultFileMode = 0644;
constexpr unsigned DefaultDirectoryMode = 0755;

constexpr std::size_t CopyBufferBytes = 256 * 1024;

struct PlannedEntry {
    zip_uint64_t index = 0;
    QString name;
    safe_names::EntryPath path;
    unsigned mode = 0;
    std::uint64_t size = 0;
};

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

fs::path toPath(const QString& path) {
    return fs::path(path.toStdU16String());
}

QString systemText(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message());
}

Archive openArchive(const QString& archivePath) {
    int code = 0;
    // The consistency check compares each local header with the central directory.
    zip_t* archive =
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        ExtractionFailure failure{ExtractionResult::Corrupt,
                                  QString::fromUtf8(zip_error_strerror(&error))};
        zip_error_fini(&error);
        throw failure;
    }
    return Archive(archive);
}

bool hasControlByte(const char* name) {
    for (; *name; ++name) {
        const auto byte = static_cast<unsigned char>(*name);
        if (byte < 0x20 || byte == 0x7f)
            return true;
    }
    return false;
}

// What kind of entry the stored attributes describe, and the permissions to give it. Links and
// special files are refused.
void readAttributes(zip_t* archive, PlannedEntry& entry) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, entry.index, 0, &system, &attributes) != 0)
        throw ExtractionFailure{ExtractionResult::Corrupt,
                                QString::fromUtf8(zip_strerror(archive))};
    unsigned permissions = 0;
    if (system == ZIP_OPSYS_UNIX) {
        const std::uint32_t mode = attributes >> 16;
        const std::uint32_t type = mode & UnixTypeMask;
        if (type == UnixDirectory)
            entry.path.isDirectory = true;
        else if (type != 0 && type != UnixRegular)
            throw ExtractionFailure{ExtractionResult::UnsafeEntry,
                                    QStringLiteral("symbolic link or special file refused")};
        permissions = mode & UnixPermissionMask;
    } else if (attributes & DosReparsePoint) {
        throw ExtractionFailure{ExtractionResult::UnsafeEntry,
                                QStringLiteral("symbolic link or special file refused")};
    } else if (attributes & DosDirectory) {
        entry.path.isDirectory = true;
    }
    if (entry.path.isDirectory)
        entry.mode = permissions ? (permissions & KeptPermissions) | OwnerDirectoryMinimum
                                 : DefaultDirectoryMode;
    else
        entry.mode =
            permissions ? (permissions & KeptPermissions) | OwnerFileMinimum : DefaultFileMode;
}

// Checks every entry before anything is written: names, kinds and the limits.
std::vector<PlannedEntry> planEntries(zip_t* archive, const ExtractionLimits& limits,
                                      std::uint64_t& totalBytes) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || std::uint64_t(count) > limits.maxEntries)
        throw ExtractionFailure{
            ExtractionResult::TooLarge,
            QStringLiteral("%1 entries, at most %2 allowed").arg(count).arg(limits.maxEntries)};
    std::vector<PlannedEntry> entries;
    entries.reserve(std::size_t(count));
    totalBytes = 0;
    for (zip_uint64_t index = 0; index < zip_uint64_t(count); ++index) {
        PlannedEntry entry;
        entry.index = index;
        // Names without the UTF-8 flag are read as code page 437, which shows control bytes as
        // symbols: those are refused by the raw name.
        const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        const char* name = zip_get_name(archive, index, ZIP_FL_ENC_GUESS);
        if (!raw || !name)
            throw ExtractionFailure{ExtractionResult::Corrupt,
                                    QString::fromUtf8(zip_strerror(archive))};
        entry.name = QString::fromUtf8(name);
        const auto path = safe_names::entryPath(entry.name);
        if (!path || hasControlByte(raw))
            throw ExtractionFailure{ExtractionResult::UnsafeEntry, QStringLiteral("name refused"),
                                    path ? QString::fromUtf8(raw) : entry.name};
        entry.path = *path;
        try {
            readAttributes(archive, entry);
        } catch (ExtractionFailure& failure) {
            failure.entry = entry.name;
            throw;
        }
        zip_stat_t stat;
        if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            throw ExtractionFailure{ExtractionResult::Corrupt,
                                    QString::fromUtf8(zip_strerror(archive)), entry.name};
        entry.size = entry.path.isDirectory ? 0 : stat.size;
        if (entry.size > limits.maxTotalBytes - totalBytes)
            throw ExtractionFailure{
                ExtractionResult::TooLarge,
                QStringLiteral("more than %1 bytes unpacked").arg(limits.maxTotalBytes),
                entry.name};
        totalBytes += entry.size;
        entries.push_back(std::move(entry));
    }
    return entries;
}

class Extraction {
public:
    Extraction(zip_t* archive, const QString& targetDirectory, const QByteArray& password,
               std::uint64_t totalBytes, const ExtractionProgress& progress)
        : archive_(archive), root_(targetDirectory), password_(password), totalBytes_(totalBytes),
          progress_(progress), buffer_(CopyBufferBytes) {}

    void directory(const PlannedEntry& entry) {
        ensureDirectory(entry.path.parts, entry.path.parts.size());
        directoryModes_.emplace_back(absolute(entry.path.parts), entry.mode);
    }

    void file(const PlannedEntry& entry) {
        const QStringList& parts = entry.path.parts;
        ensureDirectory(parts, parts.size() - 1);
        const QString target = absolute(parts);
        const QString directory = absolute(parts.mid(0, parts.size() - 1));

        const auto reader = ZipEntryReader::open(archive_, entry.index, password_);
        QTemporaryFile part(directory + QStringLiteral("/.extract-XXXXXX"));
        if (!part.open())
            throw ExtractionFailure{ExtractionResult::WriteFailed, part.errorString()};
        while (const std::size_t n = reader->read(buffer_.data(), buffer_.size())) {
            if (part.write(buffer_.data(), qint64(n)) != qint64(n))
                throw ExtractionFailure{ExtractionResult::WriteFailed, part.errorString()};
            written_ += n;
            if (progress_ && !progress_(written_, totalBytes_))
                throw ExtractionFailure{ExtractionResult::Cancelled, QString()};
        }
        if (!part.flush())
            throw ExtractionFailure{ExtractionResult::WriteFailed, part.errorString()};
        part.close();
        std::error_code error;
        fs::permissions(toPath(part.fileName()), fs::perms(entry.mode), error);
        if (!error)
            fs::rename(toPath(part.fileName()), toPath(target), error);
        if (error)
            throw ExtractionFailure{ExtractionResult::WriteFailed, systemText(error)};
        part.setAutoRemove(false);
    }

    // Directory modes last, so that a directory stored read-only still receives its files.
    void applyDirectoryModes() {
        for (const auto& [path, mode] : directoryModes_) {
            std::error_code error;
            fs::permissions(toPath(path), fs::perms(mode), error);
            if (error)
                throw ExtractionFailure{ExtractionResult::WriteFailed, systemText(error)};
        }
    }

private:
    QString absolute(const QStringList& parts) const {
        return parts.isEmpty() ? root_ : root_ + u'/' + parts.join(u'/');
    }

    // Creates the first `depth` parts below the target directory. An existing part must be a
    // real directory: a symbolic link there could lead anywhere.
    void ensureDirectory(const QStringList& parts, qsizetype depth) {
        for (qsizetype i = 1; i <= depth; ++i) {
            const QString relative = parts.mid(0, i).join(u'/');
            if (checkedDirectories_.contains(relative))
                continue;
            const fs::path path = toPath(absolute(parts.mid(0, i)));
            std::error_code error;
            const fs::file_status status = fs::symlink_status(path, error);
            if (status.type() == fs::file_type::not_found) {
                if (!fs::create_directory(path, error) && error)
                    throw ExtractionFailure{ExtractionResult::WriteFailed, systemText(error)};
            } else if (error) {
                throw ExtractionFailure{ExtractionResult::WriteFailed, systemText(error)};
            } else if (status.type() == fs::file_type::symlink) {
                throw ExtractionFailure{ExtractionResult::UnsafeEntry,
                                        QStringLiteral("a symbolic link is in the way")};
            } else if (status.type() != fs::file_type::directory) {
                throw ExtractionFailure{ExtractionResult::WriteFailed,
                                        QStringLiteral("a file is in the way of a directory")};
            }
            checkedDirectories_.insert(relative);
        }
    }

    zip_t* archive_;
    QString root_;
    QByteArray password_;
    std::uint64_t totalBytes_;
    const ExtractionProgress& progress_;
    std::vector<char> buffer_;
    std::uint64_t written_ = 0;
    QSet<QString> checkedDirectories_;
    std::vector<std::pair<QString, unsigned>> directoryModes_;
};

} // namespace

ExtractionOutcome extractArchive(const QString& archivePath, const QString& targetDirectory,
                                 const QString& password, const ExtractionLimits& limits,
                                 const ExtractionProgress& progress) {
    try {
        const Archive archive = openArchive(archivePath);
        std::uint64_t totalBytes = 0;
        const std::vector<PlannedEntry> entries = planEntries(archive.get(), limits, totalBytes);

        std::error_code error;
        fs::create_directories(toPath(targetDirectory), error);
        if (error)
            throw ExtractionFailure{ExtractionResult::WriteFailed, systemText(error)};

        Extraction extraction(archive.get(), targetDirectory, password.toUtf8(), totalBytes,
                              progress);
        for (const PlannedEntry& entry : entries) {
            try {
                if (entry.path.isDirectory)
                    extraction.directory(entry);
                else
                    extraction.file(entry);
            } catch (ExtractionFailure& failure) {
                failure.entry = entry.name;
                throw;
            }
        }
        extraction.applyDirectoryModes();
        return {};
    } catch (const ExtractionFailure& failure) {
        return {failure.result, failure.entry, failure.detail};
    }
}

} // namespace upd
