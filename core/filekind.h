#pragma once

#include "core/status.h"

#include <QString>

#include <cerrno>

// Succeeds when `path` names a regular file (links followed) or nothing yet, so that opening
// it can never wait on another program; otherwise says what it is instead, e.g. "It is a
// FIFO (named pipe), not a regular file."
Status regularFileOrNewName(const QString& path);

// The system's own words for a failed call's error number: "No space left on device".
QString systemError(int error = errno);

// Whether `a` and `b` are one and the same existing file, whatever names or links lead to it.
bool isSameFile(const QString& a, const QString& b);
