#include "tools/restart/restart.h"

#include "platform/instancelock.h"
#include "platform/startprogram.h"

Status restartWhenEnded(const QString& dataFolder, const QString& program, int timeoutMs)
{
    InstanceLock lock(dataFolder);
    if (const Status locked = lock.tryLockFor(timeoutMs); !locked.ok()) {
        if (!lock.heldElsewhere())
            return locked;
        return Status::failure(QStringLiteral("Flaskbook did not end within %1 seconds; it is not "
                                              "started a second time.")
                                   .arg(timeoutMs / 1000.0));
    }
    // The program takes the lock itself as it starts.
    lock.unlock();
    return StartProgram(program);
}
