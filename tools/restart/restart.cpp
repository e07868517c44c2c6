#include "tools/restart/restart.h"

#include "platform/instancelock.h"
#include "platform/msgbox.h"
#include "platform/startprogram.h"

#include <cstdio>

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

void reportRestartFailure(const Status& failure)
{
    std::fprintf(stderr, "Restart: %s\n", qPrintable(failure.message()));
    MsgBox(QStringLiteral("Flaskbook could not be started again after the backup.\n\n%1\n\nYour "
                          "database and its backup are saved. Please start Flaskbook yourself "
                          "from the applications menu.")
               .arg(failure.message()),
           vbOKOnly | vbExclamation, QStringLiteral("Backup and Restart Flaskbook"));
}
