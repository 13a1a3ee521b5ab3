#include "platform/previous_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace upd {

InstanceLock::InstanceLock() {
    QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (directory.isEmpty())
        directory = QDir::tempPath();
    lock_ =
        std::make_unique<QLockFile>(directory + QStringLiteral("/quorlan-Internet-Update.lock"));
    // A lock left behind by a crashed instance is taken over, since its process no longer exists.
    lock_->setStaleLockTime(0);
    held_ = lock_->tryLock(0);
}

} // namespace upd
