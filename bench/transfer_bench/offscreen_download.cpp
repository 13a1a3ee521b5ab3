#include "offscreen_download.h"

namespace bench {

upd::Session OffscreenDownload::programSession() {
    upd::Session session;
    session.host.ProgID = QStringLiteral("QGR");
    return session;
}

OffscreenDownload::OffscreenDownload() {
    window_.Form_Load();
    window_.show();
    window_.state().moveWizardTo(upd::wizard::DownloadNewUpdater);
    window_.controls().tabs().setCurrentTab(upd::tab::Download);
}

} // namespace bench
