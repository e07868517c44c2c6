#pragma once

#include "core/status.h"

#include <QString>

#include <functional>

// Called a few times a second while a backup copies, with the amount copied so far and the
// amount in all.
using BackupProgress = std::function<void(qint64 copied, qint64 total)>;

// Copies the database `source` to `target` under the engine's locks, so the copy holds every
// committed record and nothing uncommitted, whatever other programs do with the file
// meanwhile. The copy goes to a new file beside `target`, passes the engine's quick check,
// is flushed to disk and only then renamed to `target`: a failed backup leaves the previous
// one as it was, and a link at `target` is replaced by the copy, never written through.
Status backupDatabase(const QString& source, const QString& target,
                      const BackupProgress& progress = nullptr);
