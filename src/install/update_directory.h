#pragma once

#include "protocol/update_entry.h"

#include <QString>

namespace upd::installation {

// The update directory of a run and the items the package download leaves in it: the manifest,
// the terms of use, the hardware list and one sub-directory per update, named by its version.
class UpdateDirectory {
public:
    explicit UpdateDirectory(QString path) : path_(std::move(path)) {}
    // The host's "Updates" directory, which the package download fills.
    static UpdateDirectory ofHost(const QString& hostDirectory);

    const QString& path() const { return path_; }
    QString manifest() const;
    QString termsOfUse() const;
    QString hardwareList() const;
    // Where the entry's files lie. Only for an entry whose version is a safe name.
    QString entryDirectory(const UpdateEntry& entry) const;

private:
    QString path_;
};

} // namespace upd::installation
