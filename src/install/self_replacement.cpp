#include "install/self_replacement.h"

#include "core/runtime_error.h"
#include "install/replace_script_text.h"
#include "platform/replace_script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace upd {

ReplacementFiles replacementFiles(const QString& ownFile, const QString& updaterVersion,
                                  const QString& updaterFile) {
    const QString directory = QFileInfo(ownFile).absolutePath();
    return {QDir::toNativeSeparators(ownFile),
            QDir::toNativeSeparators(directory + QLatin1Char('/') + updaterVersion +
                                     QLatin1Char('.') + updaterFile)};
}

bool adoptOwnFileMode(const QString& newFile, const QString& ownFile) {
    const QFileDevice::Permissions mode = QFile::permissions(ownFile);
    return mode != QFileDevice::Permissions() && QFile::setPermissions(newFile, mode);
}

QString WriteReplaceBatch(const QString& newFile, const QString& ownFile, const QString& arguments,
                          std::int64_t ownPid) {
    const QString script = replaceScriptName(newFile);
    clearFileAttributes(ownFile);
    const QByteArray text = replaceScriptLanguage() == ScriptLanguage::Batch
                                ? replaceBatchText(newFile, ownFile, arguments)
                                : replaceShellScript(newFile, ownFile, arguments, ownPid);
    // Written beside and renamed into place: a script that starts must be whole.
    QSaveFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw RuntimeError(errnum::PathFileAccessError);
    return script;
}

} // namespace upd
