#pragma once

#include <QString>

// The lock a running Flaskbook holds on a file in its data folder for its whole run.
// It is a kernel lock on an open file, so it goes with the process however the
// process ends; no stale lock is ever left behind.
class InstanceLock {
public:
    enum Result { Locked, HeldElsewhere, Failed };

    explicit InstanceLock(const QString& dataFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock unless another holder has it; creates the data folder if needed.
    Result tryLock();
    // Tries again every so often until the lock is taken or `timeoutMs` have passed.
    Result tryLockFor(int timeoutMs);
    void unlock();
    // Why the last tryLock failed.
    const QString& errorString() const { return error_; }
    QString fileName() const { return path_; }

private:
    QString folder_;
    QString path_;
    int fd_ = -1;
    QString error_;
};
