#pragma once

#include "core/event_loop.h"
#include "core/session.h"

namespace upd {

// True when the maker's web site (the connection-test address) answers; shows nothing.
bool CheckInternetConnection(const Session& session, EventLoop& loop);

} // namespace upd
