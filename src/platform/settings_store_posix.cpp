#include "platform/settings_store.h"

#include <QStandardPaths>

namespace upd {

// One INI file per application in the user's configuration directory.
QString NativeSettingsStore::location(const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VB and VBA Program Settings/") + application + QStringLiteral(".ini");
}

QSettings::Format NativeSettingsStore::format() {
    return QSettings::IniFormat;
}

} // namespace upd
