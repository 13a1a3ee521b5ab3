#include "core/code_page_850.h"
#include "platform/replace_script.h"

#include <QProcess>

namespace upd {

ScriptLanguage replaceScriptLanguage() {
    return ScriptLanguage::Shell;
}

QString replaceScriptName(const QString& newFile) {
    return newFile + QStringLiteral(".sh");
}

QByteArray toConsoleCodePage(const QString& text) {
    // Only the batch text uses it here, which is made for the consoles of German Windows.
    return code_page_850::encode(text);
}

void clearFileAttributes(const QString&) {
    // No such attributes: the new file is renamed over the old one, whatever its mode.
}

bool startScriptDetached(const QString& script) {
    // Detached: the script is a child of no one and outlives the updater it replaces. Hidden: no
    // terminal or pipe of the updater's starter, which may be gone by the time it writes.
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({script});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace upd
