#include "platform/settings_store.h"

namespace upd {

// The registry key where the host programs' setup programs write.
QString NativeSettingsStore::location(const QString& application) {
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
           application;
}

QSettings::Format NativeSettingsStore::format() {
    return QSettings::NativeFormat;
}

} // namespace upd
