#pragma once

#include "core/event_loop.h"
#include "wizard/window_roles.h"

#include <QString>

namespace upd {

// The status text the main window shows for a state of its transfer control; "" for the states
// that show nothing.
QString transferStateText(int state);

// State-change handler of the transfer control: writes the state's text into the message area of
// the visible tab, repaints it and lets the event loop run once. Other states change nothing.
void Inet1_StateChanged(int State, MessageAreas& messages, EventLoop& loop);

} // namespace upd
