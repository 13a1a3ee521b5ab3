#include "package/zip_plan.h"

#include <QFile>

namespace upd {
namespace {

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

} // namespace

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

} // namespace upd
