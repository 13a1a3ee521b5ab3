#pragma once

#include "core/event_loop.h"
#include "core/session.h"

#include <QString>

namespace upd {

// The updater-version check of the background mode: asks the updater-information page (its own
// fixed address, a deployment setting) for the newest updater and compares its fixed-width
// version with this program's by character codes. True when the server's is newer. `path`,
// `version` and `file` get the answer's values as far as it holds them, `seal` its size, digest
// and signature. Every failure (no answer, no XML, an element missing, a "size" that is not a
// 32-bit number) is false, and so is an updater the maker did not sign while the keys are
// enforced: it is never offered.
bool CheckUpdaterVersion(const Session& session, EventLoop& loop, QString& path, QString& version,
                         QString& file, UpdaterSeal& seal);

} // namespace upd
