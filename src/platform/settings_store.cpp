#include "platform/settings_store.h"

#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace upd {
namespace {

std::unique_ptr<QSettings> open(const QString& application) {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(NativeSettingsStore::location(application),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(NativeSettingsStore::location(application),
                                       QSettings::IniFormat);
#endif
}

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

} // namespace

QString NativeSettingsStore::location(const QString& application) {
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
           application;
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VB and VBA Program Settings/") + application + QStringLiteral(".ini");
#endif
}

QString NativeSettingsStore::read(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultValue) const {
    return open(application)->value(path(section, key), defaultValue).toString();
}

void NativeSettingsStore::write(const QString& application, const QString& section,
                                const QString& key, const QString& value) {
    auto settings = open(application);
    settings->setValue(path(section, key), value);
    settings->sync();
}

void NativeSettingsStore::remove(const QString& application, const QString& section,
                                 const QString& key) {
    auto settings = open(application);
    settings->remove(path(section, key));
    settings->sync();
}

} // namespace upd
