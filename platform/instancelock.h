#pragma once

#include "core/status.h"

#include <QString>

// The lock a running Flaskbook holds on its data folder for its whole run. It is a kernel
// lock on the open folder, so it goes with the process however the process ends, and no
// file in the folder can be deleted or replaced to take it away.
class InstanceLock {
public:
    explicit InstanceLock(const QString& dataFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock unless another holder has it; creates the data folder if needed.
    Status tryLock();
    // Tries again every so often until the lock is taken or `timeoutMs` have passed.
    Status tryLockFor(int timeoutMs);
    void unlock();
    // Whether the last attempt failed only because another holder has the lock.
    bool heldElsewhere() const { return heldElsewhere_; }

private:
    QString folder_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
};
