#include "tools/restart/restart.h"

#include "platform/instancelock.h"
#include "platform/startprogram.h"

bool restartWhenEnded(const QString& dataFolder, const QString& program, int timeoutMs,
                      QString* error)
{
    InstanceLock lock(dataFolder);
    switch (lock.tryLockFor(timeoutMs)) {
    case InstanceLock::Locked:
        break;
    case InstanceLock::HeldElsewhere:
        *error = QStringLiteral("Flaskbook did not end within %1 seconds; it is not started "
                                "a second time.")
                     .arg(timeoutMs / 1000.0);
        return false;
    case InstanceLock::Failed:
        *error = lock.errorString();
        return false;
    }
    // The program takes the lock itself as it starts.
    lock.unlock();
    return StartProgram(program, error);
}
