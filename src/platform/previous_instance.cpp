#include "platform/previous_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <atomic>

namespace upd {
namespace {

const QString LockPrefix = QStringLiteral("quorlan-Internet-Update.");
const QString LockSuffix = QStringLiteral(".lock");

QString lockDirectory() {
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return directory.isEmpty() ? QDir::tempPath() : directory;
}

// Unique among the instances of one process too, which tests create side by side.
QString ownLockName() {
    static std::atomic<int> counter{0};
    return LockPrefix + QString::number(QCoreApplication::applicationPid()) + u'-' +
           QString::number(counter++) + LockSuffix;
}

} // namespace

InstanceLock::InstanceLock()
    : directory_(lockDirectory()), name_(ownLockName()),
      lock_(std::make_unique<QLockFile>(QDir(directory_).filePath(name_))) {
    // Stale only when the process that wrote it is gone, however long it has been running.
    lock_->setStaleLockTime(0);
    lock_->tryLock(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::anotherInstanceRunning() const {
    const QDir directory(directory_);
    const QStringList names =
        directory.entryList({LockPrefix + u'*' + LockSuffix}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (name == name_)
            continue;
        QLockFile other(directory.filePath(name));
        other.setStaleLockTime(0);
        if (other.tryLock(0)) {
            // Its instance ended without removing it; unlocking removes the file.
            other.unlock();
            continue;
        }
        // A lock we may not read tells nothing about a running instance.
        if (other.error() != QLockFile::PermissionError)
            return true;
    }
    return false;
}

} // namespace upd
