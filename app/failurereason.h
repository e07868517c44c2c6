#pragma once

#include "core/status.h"

#include <QString>

// Says in a user's words what kept the record store from writing `databaseFile` (a full
// disk, a lock, a moved, unwritable or damaged file), followed by the engine's own message.
QString storeFailureReason(const Status& failure, const QString& databaseFile);

// True when another program's lock on the file stopped the operation: trying again later
// may succeed.
bool isLockedByAnotherProgram(const Status& failure);
