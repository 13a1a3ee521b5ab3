#pragma once

#include "core/session.h"
#include "protocol/authenticity.h"

#include <QString>
#include <optional>

namespace upd {

// The downloaded updater against what the maker signed: the signature over the announced version,
// file name, size and digest, then the file's own size and digest. Nothing when it may replace the
// running updater, and always nothing when the keys are not enforced.
std::optional<NotGenuine> verifyNewUpdater(const TrustedKeys& keys, const QString& version,
                                           const QString& file, const UpdaterSeal& seal,
                                           const QString& newFile);

} // namespace upd
