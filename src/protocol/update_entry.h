#pragma once

#include "core/xml_document.h"
#include "protocol/signed_statements.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace upd {

// One "update" element of a program-update answer or of the manifest "UpdateInfo.xml": the
// package download fetches and unpacks it, the installation run decides by it whether and how its
// setup program runs.
struct UpdateEntry {
    QString version;        // host version after the update; the name of its sub-directory
    QString name;           // display name in progress and log lines
    QStringList files;      // `files` split at ";", every item kept (an empty one too)
    QString filesToExtract; // the one file of `files` that is a zip archive to unpack
    QString pw;             // the archive password in coded form; empty: not encrypted
    QString path;           // the server directory of the files, below the server's base address
    QString min;            // lowest host version the update applies to, inclusive
    QString max;            // highest host version the update applies to, inclusive
    QString startFile;      // the program in the sub-directory that installs the update
    bool newDlls = false;
    bool newMasterVersion = false;
    bool noStartupArgs = false;
    // What a signing server adds: size and digest of each file ("checksums") and the maker's
    // signature. Empty from a server that does not sign; older updaters never look at them.
    std::vector<FileChecksum> checksums;
    QString signature;
    // The element exactly as the XML document serialises it: the manifest is made of these texts.
    QString xml;
};

// The checksum the entry holds for one of its files, or nullptr.
const FileChecksum* checksumOf(const UpdateEntry& entry, const QString& file);

// Reads all twelve values of an "update" element, each the text of the first descendant element
// of that name. A missing element raises run-time error 91, a Boolean text that is none raises 13.
// The checksums and the signature are optional and never raise: a size that is no number is kept
// as -1, which no file has.
UpdateEntry readUpdateEntry(const XmlNode& update);

// A Boolean text: True or False in any letter case, or a number (0 is False, any other True).
// Anything else, the empty text included, raises run-time error 13.
bool readBooleanText(const QString& text);

// What a program-update answer holds besides its root: the update entries and the XML texts of
// the "hardware" elements, both in document order.
struct ProgramUpdateAnswer {
    std::vector<UpdateEntry> updates;
    QStringList hardwareXml;
};

// Reads the children of an answer's root element once. Children are told apart by their local
// name; a child that is not an element raises run-time error 13, as the download always did.
ProgramUpdateAnswer readProgramUpdateAnswer(const XmlNode& root);

// Reads the entries of a loaded manifest's root; children that are not "update" elements are
// skipped.
std::vector<UpdateEntry> readManifestEntries(const XmlNode& root);

// The matching rule: `version` fits when min <= version <= max, both bounds inclusive, compared
// as text by character codes ("1.0.10" lies between "1.0.0" and "1.0.9"; "1.10" sorts before
// "1.9").
bool versionFits(const QString& version, const QString& min, const QString& max);

inline bool entryFits(const UpdateEntry& entry, const QString& version) {
    return versionFits(version, entry.min, entry.max);
}

} // namespace upd
