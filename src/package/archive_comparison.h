#pragma once

#include "package/zip_extraction.h"

#include <QString>
#include <QStringList>

namespace upd {

// Whether the files unpacked from an archive still hold what the archive holds: a copied update
// directory may have been changed since its download, and only the archive carries the maker's
// digest.
struct ArchiveComparison {
    enum class Kind {
        Same,       // every file of the archive is there with exactly its content
        Differs,    // a file is missing, is a link or holds other bytes
        Unreadable, // the archive itself cannot be read (damaged, wrong password, unsafe)
    };
    Kind kind = Kind::Same;
    QString entry;     // Differs: the archive entry concerned
    QStringList files; // Same: the relative paths of the archive's files, "/" between parts

    bool same() const { return kind == Kind::Same; }
};

// Compares every file entry of the archive with the file of the same relative path below
// `directory`, byte by byte. Files in the directory that the archive does not hold are no concern.
ArchiveComparison compareWithArchive(const QString& archivePath, const QString& directory,
                                     const QString& password, const ExtractionLimits& limits = {});

} // namespace upd
