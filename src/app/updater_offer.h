#pragma once

#include "core/event_loop.h"
#include "core/session.h"

namespace upd {

// A host may start the updater in run mode 6 itself, without the background check that otherwise
// asks which updater the server offers. The window's download then needs those values: they are
// taken from the updater-information page. Nothing is changed when the page gives no answer.
void takeUpdaterOffer(Session& session, EventLoop& loop);

} // namespace upd
