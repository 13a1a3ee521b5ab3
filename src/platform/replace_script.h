#pragma once

#include <QByteArray>
#include <QString>

namespace upd {

// What the self-replacement needs of the platform: a running program cannot overwrite its own
// executable, so a script that outlives it does the replacement.

// The language of the replacement script that this platform runs.
enum class ScriptLanguage {
    Batch, // Windows: the command interpreter
    Shell, // POSIX: /bin/sh
};
ScriptLanguage replaceScriptLanguage();

// The script's file name: the downloaded updater's name with the script's extension.
QString replaceScriptName(const QString& newFile);

// The text as the console reads it: the console code page (paths in a batch file).
QByteArray toConsoleCodePage(const QString& text);

// Clears the read-only, hidden, system and archive attributes where the platform has them.
void clearFileAttributes(const QString& path);

// Starts the script in a process of its own, with no window, without waiting for it. False
// when it could not be started.
bool startScriptDetached(const QString& script);

} // namespace upd
