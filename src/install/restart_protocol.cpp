#include "install/restart_protocol.h"

namespace upd {

std::optional<QString> parkedArguments(const QString& hostArguments) {
    const QString startItem = QStringLiteral("START=");
    // The item whose key is START: at the start of the string or right after a "#", so that a
    // key such as "RESTART" is not taken for it.
    qsizetype p = hostArguments.startsWith(startItem) ? 0 : -1;
    if (p < 0) {
        p = hostArguments.indexOf(QLatin1Char('#') + startItem);
        if (p >= 0)
            ++p;
    }
    if (p < 0)
        return std::nullopt;
    const qsizetype q = hostArguments.indexOf(QLatin1Char('#'), p);
    if (q < 0)
        return std::nullopt;
    return hostArguments.left(p) + startItem + QLatin1Char('0') + hostArguments.mid(q);
}

} // namespace upd
