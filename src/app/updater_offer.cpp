#include "app/updater_offer.h"

#include "transfer/server_fetch.h"
#include "transfer/transfer_control.h"

namespace upd {

void takeUpdaterOffer(Session& session, EventLoop& loop) {
    TransferControl control(loop);
    XmlDocument answer;
    if (fetchServerAnswer(control, session.deployment.updaterInfoUrl, answer).kind !=
        ServerFetch::Kind::Answer)
        return;
    const XmlNode root = answer.root();
    session.UpdaterVersion = root.firstElementText(QStringLiteral("version"));
    session.UpdaterPath = root.firstElementText(QStringLiteral("path"));
    session.UpdaterFile = root.firstElementText(QStringLiteral("file"));
}

} // namespace upd
