#pragma once

#include "platform/settings_store.h"

#include <QMap>

namespace upd::test {

// A settings store in memory, for tests that only need its three operations.
class MemorySettingsStore final : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue = {}) const override {
        return values_.value(path(application, section, key), defaultValue);
    }
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override {
        values_.insert(path(application, section, key), value);
    }
    void remove(const QString& application, const QString& section, const QString& key) override {
        values_.remove(path(application, section, key));
    }
    bool contains(const QString& application, const QString& section, const QString& key) const {
        return values_.contains(path(application, section, key));
    }

private:
    static QString path(const QString& a, const QString& s, const QString& k) {
        return a + u'\\' + s + u'\\' + k;
    }
    QMap<QString, QString> values_;
};

} // namespace upd::test
