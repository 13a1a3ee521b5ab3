#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace upd {

// The scripts that replace the updater once it has ended: they put the new file in place of the
// own file, delete the downloaded copy, start the updater with `arguments` and delete themselves.
// Both are built on every platform; replaceScriptLanguage() says which one runs.

// The Windows batch file: the given lines, byte for byte (paths in the console code page, the
// batch file's own name in Windows-1252, CR LF between lines, none after the last). A few lines
// are added between them: the wait for the old updater pauses and gives up after about a minute,
// and the downloaded copy is deleted only once the own file exists again.
QByteArray replaceBatchText(const QString& newFile, const QString& ownFile,
                            const QString& arguments);

// The POSIX shell script with the same steps: it waits for the process `ownPid` to end (at most
// about a minute), copies the new file beside the own one and renames it over it in one step,
// so that a complete updater is always in place; only then it deletes the downloaded copy.
QByteArray replaceShellScript(const QString& newFile, const QString& ownFile,
                              const QString& arguments, std::int64_t ownPid);

} // namespace upd
