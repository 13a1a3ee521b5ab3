#include "wizard/unavailable_step.h"

namespace upd {

void tellStepUnavailable(WizardWindow& window) {
    window.messages().visibleMessageArea().show(
        QStringLiteral(
            "Dieser Schritt ist in dieser Version des Internet-Updates nicht verfügbar."),
        AttentionColor);
    window.controls().startButton().setEnabled(true);
}

} // namespace upd
