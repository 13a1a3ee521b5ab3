#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Names that come from the update server or from inside an archive become paths on this computer.
// They are checked here before anything is written, so that no file lands outside its update
// directory and no name acts as a wildcard.
namespace upd::safe_names {

// The longest single name accepted, in UTF-8 bytes: the limit of common file systems.
inline constexpr int MaxNameBytes = 255;
// The longest relative path inside an archive accepted, in UTF-8 bytes.
inline constexpr int MaxEntryPathBytes = 1024;

// True when a name from the server (an entry's `version`, a name of `files`, `filestoextract`)
// names exactly one file or directory directly inside its parent. Refused: a name that is empty
// or blank, longer than MaxNameBytes, "." or containing "..", containing "/", "\", ":" (drive
// letters, streams), a wildcard or other character Windows forbids in names (* ? " < > |), a NUL
// or any other control character.
bool isSafeName(const QString& name);

// The relative path an archive entry names, split into its parts. "\" counts as a separator, as
// old Windows archivers wrote it; one trailing separator marks a directory. Refused (nullopt): an
// absolute path or one with a drive letter, an empty part ("a//b"), "." or "..", any part that
// isSafeName() refuses, and a path longer than MaxEntryPathBytes.
struct EntryPath {
    QStringList parts;
    bool isDirectory = false;
};
std::optional<EntryPath> entryPath(const QString& entryName);

} // namespace upd::safe_names
