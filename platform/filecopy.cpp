#include "platform/filecopy.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr qint64 kChunkBytes = 4 * 1024 * 1024;

} // namespace

QString CopyFile(const QString& source, const QString& target, const CopyProgress& progress)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2").arg(source, from.errorString());
    QSaveFile to(target);
    if (!to.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 cannot be written: %2").arg(target, to.errorString());

    const qint64 total = from.size();
    qint64 copied = 0;
    if (progress)
        progress(copied, total);
    QByteArray chunk;
    while (!(chunk = from.read(kChunkBytes)).isEmpty()) {
        if (to.write(chunk) != chunk.size())
            return QStringLiteral("%1 cannot be written: %2").arg(target, to.errorString());
        copied += chunk.size();
        if (progress)
            progress(copied, total);
    }
    if (from.error() != QFileDevice::NoError)
        return QStringLiteral("%1 cannot be read: %2").arg(source, from.errorString());
    // Renames over the target only now; until then the old file is untouched.
    if (!to.commit())
        return QStringLiteral("%1 cannot be written: %2").arg(target, to.errorString());
    return {};
}
