#pragma once

#include "core/status.h"

#include <QString>

// Waits until the running Flaskbook has ended, that is until its lock on `dataFolder` is
// free, lets go of the lock again and starts `program`. If the lock is still held after
// `timeoutMs`, or cannot be checked, nothing is started.
Status restartWhenEnded(const QString& dataFolder, const QString& program, int timeoutMs);
