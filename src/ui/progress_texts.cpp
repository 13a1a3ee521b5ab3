#include "ui/progress_texts.h"

#include <QLocale>
#include <cmath>

namespace upd {

QString formatOneDecimal(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', 1);
}

QString ConvSeconds(std::int32_t seconds) {
    // Floor division, so that negative values round down.
    const std::int64_t minutes =
        static_cast<std::int64_t>(std::floor(static_cast<double>(seconds) / 60.0));
    const std::int64_t rest = static_cast<std::int64_t>(seconds) - minutes * 60;
    return QStringLiteral("geschätzte Restzeit: %1 Minuten %2 Sekunden").arg(minutes).arg(rest);
}

} // namespace upd
