#pragma once

#include <QString>

// Waits until the running Flaskbook has ended, that is until its lock in `dataFolder` is
// free, lets go of the lock again and starts `program`. If the lock is still held after
// `timeoutMs`, or cannot be checked, nothing is started. Returns whether `program` was
// started; otherwise `error` says why not.
bool restartWhenEnded(const QString& dataFolder, const QString& program, int timeoutMs,
                      QString* error);
