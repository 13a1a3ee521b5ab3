#include "platform/file_helpers.h"

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

bool removeFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink())
        return QFile::remove(path);
    if (info.isDir())
        return false;
    // Devices and pipes are never deleted: whoever writes to the name meets them.
    if (!info.isFile())
        return true;
    return removeForced(path);
}

Deletion KillFile(const QString& path) {
    for (const QString& file : listFiles(path)) {
        if (!removeForced(file))
            return {false, path};
    }
    return {};
}

Deletion KillDir(const QString& directory) {
    const QDir dir(directory);
    if (!dir.exists())
        return {false, {}};
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        const QString file = directory + QDir::separator() + name;
        if (!removeFile(file))
            return {false, file};
    }
    if (!dir.entryList(QDir::Files).isEmpty())
        return {false, {}};
    return {};
}

std::int32_t ShellX(const QString& program, const QStringList& arguments,
                    std::int32_t /*windowStyle*/, bool yieldWhileWaiting, EventLoop& loop) {
    if (program.isEmpty())
        throw RuntimeError(errnum::FileNotFound);
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
