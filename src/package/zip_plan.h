#pragma once

#include "package/safe_names.h"
#include "package/zip_entry_reader.h"
#include "package/zip_extraction.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>
#include <zip.h>

// An archive opened for reading and the plan of its entries, checked before anything is written
// or compared: names, kinds and the limits. Failures are thrown as ExtractionFailure.
namespace upd {

struct PlannedEntry {
    zip_uint64_t index = 0;
    QString name;
    safe_names::EntryPath path;
    unsigned mode = 0;      // the permissions the unpacked file or directory gets
    std::uint64_t size = 0; // as the archive declares it; 0 for a directory
};

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

Archive openArchive(const QString& archivePath);

// Every entry in the archive's order, with the bytes they unpack to in all. Refuses names that
// could leave the target directory, links and special files, and archives beyond the limits.
std::vector<PlannedEntry> planEntries(zip_t* archive, const ExtractionLimits& limits,
                                      std::uint64_t& totalBytes);

} // namespace upd
