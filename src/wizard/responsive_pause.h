#pragma once

#include "core/event_loop.h"

namespace upd {

// Waits about `milliseconds` while the event loop keeps running, so that the window stays
// responsive during the fixed pauses of a step.
void pauseResponsively(EventLoop& loop, int milliseconds);

} // namespace upd
