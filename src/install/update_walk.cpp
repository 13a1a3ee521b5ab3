#include "install/update_walk.h"

#include "core/session.h"

#include <algorithm>

namespace upd::installation {

bool anyEntryFits(const std::vector<UpdateEntry>& entries, const QString& hostVersion) {
    return std::any_of(entries.begin(), entries.end(), [&hostVersion](const UpdateEntry& entry) {
        return entryFits(entry, hostVersion);
    });
}

bool runModeInstalls(std::int16_t runMode, const UpdateEntry& entry) {
    if (runMode == runmode::OfflineNewDlls)
        return entry.newDlls;
    if (runMode == runmode::OfflineNewMasterVersion)
        return entry.newMasterVersion;
    return true;
}

UpdateWalk::UpdateWalk(const std::vector<UpdateEntry>& entries, QString hostVersion)
    : entries_(entries), version_(std::move(hostVersion)) {}

const UpdateEntry* UpdateWalk::next() {
    while (position_ < entries_.size()) {
        const UpdateEntry& entry = entries_[position_++];
        if (entryFits(entry, version_))
            return &entry;
    }
    return nullptr;
}

} // namespace upd::installation
