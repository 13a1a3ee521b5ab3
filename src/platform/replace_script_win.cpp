#include "platform/replace_script.h"

#include <QDir>
#include <QProcess>
#include <windows.h>

namespace upd {

ScriptLanguage replaceScriptLanguage() {
    return ScriptLanguage::Batch;
}

QString replaceScriptName(const QString& newFile) {
    return newFile + QStringLiteral(".bat");
}

QByteArray toConsoleCodePage(const QString& text) {
    const std::wstring wide = text.toStdWString();
    const int size = WideCharToMultiByte(CP_OEMCP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, "?", nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(CP_OEMCP, 0, wide.c_str(), static_cast<int>(wide.size()), bytes.data(),
                        size, "?", nullptr);
    return bytes;
}

void clearFileAttributes(const QString& path) {
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                       FILE_ATTRIBUTE_ARCHIVE)) != 0)
        SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool startScriptDetached(const QString& script) {
    QProcess process;
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setNativeArguments(QStringLiteral("/C \"") + QDir::toNativeSeparators(script) +
                               QStringLiteral("\""));
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->flags |= CREATE_NO_WINDOW;
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_HIDE;
    });
    return process.startDetached();
}

} // namespace upd
