#pragma once

#include "ui/frm_start.h"

namespace upd {

// For tests that run the real program in a process of its own (the self-replacement and the
// restart it ends with), two environment variables; without them nothing happens.
// - QUORLAN_UPDATE_START_REPORT names a file into which the opened window's wizard state, tab
//   and the host's parameter string are written.
// - QUORLAN_UPDATE_TEST_CLICKS presses Start/Next that many times once the event loop runs, as a
//   user would. It is taken out of the environment, so that programs started later do not click.
void runTestHooks(frmStart& window);

} // namespace upd
