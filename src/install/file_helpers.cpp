#include "install/file_helpers.h"

#include "core/runtime_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace upd {
namespace {

bool hasWildcard(const QString& name) {
    return name.contains(u'*') || name.contains(u'?');
}

// The visible files a path names: the file itself, or the files its pattern matches.
QStringList listFiles(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty())
        return {};
    // An existing file is taken by its name, even when the name holds wildcard characters.
    if (info.isFile())
        return info.isHidden() ? QStringList{} : QStringList{info.filePath()};
    if (!hasWildcard(name))
        return {};
    const QDir directory = info.dir();
    QStringList files;
    for (const QString& match : directory.entryList({name}, QDir::Files, QDir::Name))
        files += directory.filePath(match);
    return files;
}

bool removeForced(const QString& file) {
    if (QFile::remove(file))
        return true;
    // A read-only file is deleted too: make it writable first.
    QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::WriteOwner);
    return QFile::remove(file);
}

} // namespace

bool Fexist(const QString& path) {
    return !listFiles(path).isEmpty();
}

bool KillFile(const QString& path, Prompts& prompts) {
    const QStringList files = listFiles(path);
    for (const QString& file : files) {
        if (!removeForced(file)) {
            prompts.critical(QStringLiteral(" Datei: ") + path +
                                 QStringLiteral(" kann nicht gelöscht werden!"),
                             ProgramTitle + QStringLiteral(": KillFile Funktion"));
            return false;
        }
    }
    return true;
}

bool KillDir(const QString& directory, Prompts& prompts) {
    const QDir dir(directory);
    if (!dir.exists())
        return false;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!KillFile(directory + QDir::separator() + name, prompts))
            return false;
    }
    return dir.entryList(QDir::Files).isEmpty();
}

std::int32_t ShellX(const QString& commandLine, std::int32_t /*windowStyle*/,
                    bool yieldWhileWaiting, EventLoop& loop) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        throw RuntimeError(errnum::FileNotFound);
    const QString program = arguments.takeFirst();

    QProcess process;
    // The program's output goes where ours goes: a pipe nobody reads would stop it.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted())
        throw RuntimeError(errnum::FileNotFound);

    constexpr int PollMilliseconds = 10;
    while (process.state() != QProcess::NotRunning) {
        if (yieldWhileWaiting)
            loop.yield();
        process.waitForFinished(PollMilliseconds);
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

} // namespace upd
