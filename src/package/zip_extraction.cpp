#include "package/zip_extraction.h"

#include "package/safe_names.h"
#include "package/zip_entry_reader.h"
#include "package/zip_plan.h"

#include <QSet>
#include <QTemporaryFile>
#include <filesystem>
#include <vector>

namespace upd {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t CopyBufferBytes = 256 * 1024;

fs::path toPath(const QString& path) {
    return fs::path(path.toStdU16String());
}

QString systemText(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message());
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
