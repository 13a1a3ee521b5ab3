#pragma once

#include "protocol/update_entry.h"

#include <cstdint>
#include <vector>

namespace upd::installation {

// True when some entry fits the host's version: without one the run has nothing to do.
bool anyEntryFits(const std::vector<UpdateEntry>& entries, const QString& hostVersion);

// Whether the run mode installs the entry: run mode 2 only updates that bring new libraries, run
// mode 4 only updates to a new main version, every other mode all.
bool runModeInstalls(std::int16_t runMode, const UpdateEntry& entry);

// The walk over the manifest's entries in document order, each visited once and matched against
// the version the host has reached: after an installation the later entries are matched against
// the installed version, so that updates written in ascending order chain in one run.
class UpdateWalk {
public:
    UpdateWalk(const std::vector<UpdateEntry>& entries, QString hostVersion);

    // The next entry that fits the version reached, or nullptr at the end.
    const UpdateEntry* next();
    // The entry is installed: the host now has its version.
    void installed(const UpdateEntry& entry) { version_ = entry.version; }

private:
    const std::vector<UpdateEntry>& entries_;
    std::size_t position_ = 0;
    QString version_;
};

} // namespace upd::installation
