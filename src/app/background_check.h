#pragma once

#include "core/event_loop.h"
#include "core/session.h"

#include <cstdint>

namespace upd {

// The invisible search of the background mode: the main window's search for the installed
// version, without a window and without message boxes. 1 program updates, 2 data updates,
// 0 nothing (failures included). Sets the run mode to 0, so that a main window opened
// afterwards starts with the search.
std::int16_t RunBackgroundCheck(Session& session, EventLoop& loop);

} // namespace upd
