#include "platform/settings_store.h"

#include <QSettings>
#include <memory>

namespace upd {
namespace {

std::unique_ptr<QSettings> open(const QString& application) {
    return std::make_unique<QSettings>(NativeSettingsStore::location(application),
                                       NativeSettingsStore::format());
}

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

} // namespace

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
