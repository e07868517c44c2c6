#pragma once

#include <QString>

#include <functional>

// Called while a copy runs with the bytes copied so far and the size of the file.
using CopyProgress = std::function<void(qint64 copied, qint64 total)>;

// Copies the bytes of `source` over `target`. The bytes go to a temporary file beside
// `target`, which is flushed to disk and only then renamed over it, so `target` is
// always either the old file or the complete copy. Returns an empty string on
// success, otherwise the reason in words.
QString CopyFile(const QString& source, const QString& target,
                 const CopyProgress& progress = nullptr);
