#pragma once

#include "core/status.h"

#include <QString>

// Waits until the running Flaskbook has ended, that is until its lock on `dataFolder` is
// free, lets go of the lock again and starts `program`. If the lock is still held after
// `timeoutMs`, or cannot be checked, nothing is started.
Status restartWhenEnded(const QString& dataFolder, const QString& program, int timeoutMs);

// Tells the user, in a message box and on standard error, that Flaskbook was not started
// again, why, and what to do.
void reportRestartFailure(const Status& failure);
