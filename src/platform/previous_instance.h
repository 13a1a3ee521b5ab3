#pragma once

#include <QLockFile>
#include <memory>

namespace upd {

// The previous-instance test: the first instance of the program holds a lock for as long as it
// runs; a later instance sees it held.
class InstanceLock {
public:
    // Takes the lock if no other running instance holds it.
    InstanceLock();
    bool anotherInstanceRunning() const { return !held_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
};

} // namespace upd
