#pragma once

#include "ui/frm_start.h"

namespace upd {

// For tests that start the real program (a restart after a self-replacement among them): when
// QUORLAN_UPDATE_START_REPORT names a file, the opened window's wizard state, tab and the host's
// parameter string are written there. Nothing happens without the variable.
void reportStart(frmStart& window);

} // namespace upd
