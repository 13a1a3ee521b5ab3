#include "wizard/transfer_status.h"

#include "transfer/transfer_control.h"

namespace upd {

QString transferStateText(int state) {
    switch (state) {
    case inet_state::ResolvingHost:
    case inet_state::HostResolved:
    case inet_state::Connecting:
        return QStringLiteral("Aufbau der Verbindung mit dem quorlan-Server. Bitte warten ...");
    case inet_state::Connected:
        return QStringLiteral(
            "Verbindung mit dem quorlan-Server erfolgreich aufgebaut. Bitte warten ...");
    case inet_state::Error:
        return QStringLiteral("Probleme bei der Kommunikation mit dem quorlan-Server!");
    default:
        return {};
    }
}

void Inet1_StateChanged(int State, MessageAreas& messages, EventLoop& loop) {
    const QString text = transferStateText(State);
    if (text.isEmpty())
        return;
    TextArea& area = messages.visibleMessageArea();
    area.setText(text);
    area.refresh();
    loop.yield();
}

} // namespace upd
