#pragma once

#include <QSettings>
#include <QString>

namespace upd {

// The per-user application settings store: values by application, section and key. On Windows
// it is the registry location the host programs' setup programs write to; elsewhere one INI file
// per application in the user's configuration directory.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultValue = {}) const = 0;
    virtual void write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
    virtual void remove(const QString& application, const QString& section, const QString& key) = 0;
};

class NativeSettingsStore final : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue = {}) const override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
    void remove(const QString& application, const QString& section, const QString& key) override;

    // Where the values of `application` are kept (a registry path or an INI file).
    static QString location(const QString& application);
    // The store's format on this platform (registry or INI file).
    static QSettings::Format format();
};

} // namespace upd
