#include "ui/open_main_window.h"

#include "ui/frm_start.h"

namespace upd {

frmStart* OpenMainWindow(Session& session, Prompts& prompts, EventLoop& loop, WizardSteps& steps) {
    auto* window = new frmStart(session, prompts, loop, steps);
    if (!window->Form_Load()) {
        delete window;
        return nullptr;
    }
    window->show();
    return window;
}

} // namespace upd
