#pragma once

#include <QString>
#include <cstdint>

namespace upd {

// The files of a self-replacement, all in the running updater's directory.
struct ReplacementFiles {
    QString ownFile; // the running updater's executable, as the platform names it
    QString newFile; // the downloaded updater: version "." file name, beside the own file
};
ReplacementFiles replacementFiles(const QString& ownFile, const QString& updaterVersion,
                                  const QString& updaterFile);

// Gives the downloaded updater the permissions of the running one, so that it can be started.
// False when they could not be set.
bool adoptOwnFileMode(const QString& newFile, const QString& ownFile);

// Writes the replacement script of this platform for `ownPid`, which ends before the script
// replaces its file, and returns the script's path. Raises RuntimeError when it cannot be written;
// no partly written script is left then.
QString WriteReplaceBatch(const QString& newFile, const QString& ownFile, const QString& arguments,
                          std::int64_t ownPid);

} // namespace upd
