#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace upd {

// The previous-instance test. Every running instance of the program, interactive or in the
// background, holds a lock file of its own for as long as it runs; an instance sees the others by
// their held locks.
class InstanceLock {
public:
    // Registers this instance.
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another instance that still runs holds its lock. Locks left behind by instances
    // that ended without removing them are cleared on the way.
    bool anotherInstanceRunning() const;

private:
    QString directory_;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace upd
