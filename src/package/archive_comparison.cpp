#include "package/archive_comparison.h"

#include "package/zip_entry_reader.h"
#include "package/zip_plan.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <vector>

namespace upd {
namespace {

constexpr std::size_t PieceBytes = 256 * 1024;

// True when the file at `path` holds exactly the entry's content. A link never counts: it could
// show one thing now and another when the setup program runs.
bool fileHoldsEntry(zip_t* archive, const PlannedEntry& entry, const QString& path,
                    const QByteArray& password) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || std::uint64_t(info.size()) != entry.size)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const auto reader = ZipEntryReader::open(archive, entry.index, password);
    std::vector<char> expected(PieceBytes);
    std::vector<char> actual(PieceBytes);
    while (const std::size_t n = reader->read(expected.data(), expected.size())) {
        if (file.read(actual.data(), qint64(n)) != qint64(n) ||
            std::memcmp(expected.data(), actual.data(), n) != 0)
            return false;
    }
    return file.atEnd();
}

} // namespace

ArchiveComparison compareWithArchive(const QString& archivePath, const QString& directory,
                                     const QString& password, const ExtractionLimits& limits) {
    ArchiveComparison comparison;
    try {
        const Archive archive = openArchive(archivePath);
        std::uint64_t totalBytes = 0;
        const std::vector<PlannedEntry> entries = planEntries(archive.get(), limits, totalBytes);
        for (const PlannedEntry& entry : entries) {
            if (entry.path.isDirectory)
                continue;
            const QString relative = entry.path.parts.join(u'/');
            if (!fileHoldsEntry(archive.get(), entry, directory + u'/' + relative,
                                password.toUtf8()))
                return {ArchiveComparison::Kind::Differs, entry.name, {}};
            comparison.files.append(relative);
        }
    } catch (const ExtractionFailure&) {
        return {ArchiveComparison::Kind::Unreadable, {}, {}};
    }
    return comparison;
}

} // namespace upd
