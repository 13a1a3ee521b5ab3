#include "install/replace_script_text.h"

#include "core/windows1252.h"
#include "platform/replace_script.h"

#include <QFile>
#include <QList>

namespace upd {
namespace {

// About one second per attempt: the old updater has that long to end, sixty times.
constexpr int WaitAttempts = 60;

QByteArray quotedForShell(const QString& text) {
    QByteArray bytes = QFile::encodeName(text);
    bytes.replace('\'', QByteArrayLiteral("'\\''"));
    return '\'' + bytes + '\'';
}

} // namespace

QByteArray replaceBatchText(const QString& newFile, const QString& ownFile,
                            const QString& arguments) {
    const QByteArray batchFile = windows1252::encode(newFile + QStringLiteral(".bat"));
    const QByteArray n = toConsoleCodePage(newFile);
    const QByteArray o = toConsoleCodePage(ownFile);
    QByteArray p = o;
    p.replace(' ', QByteArrayLiteral("\" \""));
    const QByteArray tries = QByteArray::number(WaitAttempts);
    const QList<QByteArray> lines = {
        "@echo off",
        "IF NOT EXIST \"" + n + "\" GOTO NoReplace",
        "SET Tries=0",
        ":TryDel",
        "IF %Tries% GEQ " + tries + " GOTO NoReplace",
        "DEL \"" + o + "\"",
        "IF EXIST \"" + o + "\" SET /A Tries+=1",
        "IF EXIST \"" + o + "\" PING -n 2 127.0.0.1 >NUL",
        "IF EXIST \"" + o + "\" GOTO TryDel",
        "COPY \"" + n + "\" /B \"" + o + "\" /B",
        "IF ERRORLEVEL 1 GOTO NoReplace",
        "IF NOT EXIST \"" + o + "\" GOTO NoReplace",
        "DEL \"" + n + "\"",
        ":NoReplace",
        "START " + p + ' ' + toConsoleCodePage(arguments),
        "DEL \"" + batchFile + '"',
    };
    return lines.join("\r\n");
}

QByteArray replaceShellScript(const QString& newFile, const QString& ownFile,
                              const QString& arguments, std::int64_t ownPid) {
    const QByteArray tries = QByteArray::number(WaitAttempts);
    const QList<QByteArray> lines = {
        "#!/bin/sh",
        "new=" + quotedForShell(newFile),
        "own=" + quotedForShell(ownFile),
        "args=" + quotedForShell(arguments),
        "pid=" + QByteArray::number(static_cast<qint64>(ownPid)),
        "if [ -f \"$new\" ]; then",
        "  tries=0",
        "  while kill -0 \"$pid\" 2>/dev/null && [ \"$tries\" -lt " + tries + " ]; do",
        "    sleep 1",
        "    tries=$((tries + 1))",
        "  done",
        "  if cp -p \"$new\" \"$own.part\" && mv -f \"$own.part\" \"$own\"; then",
        "    rm -f \"$new\"",
        "  else",
        "    rm -f \"$own.part\"",
        "  fi",
        "fi",
        "\"$own\" \"$args\" </dev/null &",
        "rm -f \"$0\"",
        "",
    };
    return lines.join("\n");
}

} // namespace upd
