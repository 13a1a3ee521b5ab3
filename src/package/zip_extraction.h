#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace upd {

enum class ExtractionResult {
    Ok = 0,
    WrongPassword, // no password for an encrypted entry, or one that does not decrypt it
    Corrupt,       // not a zip archive, truncated, a CRC or authentication error, damaged data
    UnsafeEntry,   // an entry name or kind that could write outside the directory (nothing written)
    TooLarge,      // more entries or more bytes than the limits allow (nothing written)
    WriteFailed,   // a directory or file could not be written: full disk, permissions, in the way
    Cancelled,     // the progress callback asked to stop
};

struct ExtractionOutcome {
    ExtractionResult result = ExtractionResult::Ok;
    QString entry;  // the archive entry concerned; empty when it is the archive itself
    QString detail; // the system's or the zip library's error text, or why a name was refused

    bool ok() const { return result == ExtractionResult::Ok; }
    // 0 after success, above 0 for every failure: the code the extraction step reads.
    int errorCode() const { return static_cast<int>(result); }
};

// Bounds against archives that would fill the disk (a few kilobytes can unpack to terabytes).
// Both are checked on the archive's directory before anything is written, and each entry's
// content is cut off where it would exceed its declared size.
struct ExtractionLimits {
    std::uint64_t maxEntries = 100'000;
    std::uint64_t maxTotalBytes = std::uint64_t(4) << 30; // 4 GiB unpacked
};

// Called after each piece written with the bytes written so far and the total to write; returns
// false to stop the extraction.
using ExtractionProgress = std::function<bool(std::uint64_t written, std::uint64_t total)>;

// Unpacks every entry of the zip archive into `targetDirectory` (created when missing),
// overwriting files of the same names. Sub-directories of the archive are created. An empty
// `password` means the archive is not encrypted; otherwise it opens traditionally (PKWARE) and
// WinZip-AES encrypted entries alike.
//
// Every file is written under a temporary name beside its final one and renamed only when its
// content is complete and verified, so a failure never leaves a partial file under an entry's
// name (files completed before the failure stay). Stored Unix modes are applied without the
// group's and others' write bits, and a file is always readable by its owner; files without
// stored modes get rw-r--r--. Symbolic links and other special entries are refused, never created.
ExtractionOutcome extractArchive(const QString& archivePath, const QString& targetDirectory,
                                 const QString& password, const ExtractionLimits& limits = {},
                                 const ExtractionProgress& progress = {});

} // namespace upd
