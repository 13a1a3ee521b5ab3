#pragma once

#include "core/session.h"
#include "transfer/transfer_control.h"

#include <QString>
#include <cstdint>

namespace upd {

// What an update search found. Program updates come first: when there are any, data updates are
// not asked for.
enum class FoundUpdates : std::int16_t {
    Nothing = 0,
    ProgramUpdates = 1,
    DataUpdates = 2,
};

// The update search without a window: checks that `version` is three numbers, asks the session's
// server for program updates and, only when there are none, for data updates. An error answer
// with 500400011 or 500400012 (updates to be fetched by other means) counts as program or data
// updates; every other failure finds nothing. Nothing is shown; the answers are read by the same
// rules as the main window's search.
FoundUpdates findUpdatesQuietly(const Session& session, TransferControl& Inet1,
                                const QString& version);

} // namespace upd
