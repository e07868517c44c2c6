#include "platform/filecopy.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/sendfile.h>

namespace {

constexpr qint64 kChunkBytes = 4 * 1024 * 1024;

} // namespace

QString CopyFile(const QString& source, const QString& target, const CopyProgress& progress)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QStringLiteral("%1 cannot be read: %2").arg(source, from.errorString());
    QSaveFile to(target);
    if (!to.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("%1 cannot be written: %2").arg(target, to.errorString());

    const qint64 total = from.size();
    qint64 copied = 0;
    if (progress)
        progress(copied, total);
    // Moving the bytes inside the kernel writes a large file back to disk several times faster
    // than passing them through the program; a file system that cannot do it gets a plain copy.
    bool inKernel = true;
    for (;;) {
        qint64 moved = 0;
        if (inKernel) {
            moved = ::sendfile(to.handle(), from.handle(), nullptr, size_t(kChunkBytes));
            if (moved < 0 && copied == 0 && (errno == EINVAL || errno == ENOSYS)) {
                inKernel = false;
                continue;
            }
            if (moved < 0)
                return QStringLiteral("%1 could not be copied to %2: %3")
                    .arg(source, target, QString::fromLocal8Bit(std::strerror(errno)));
        } else {
            const QByteArray chunk = from.read(kChunkBytes);
            if (from.error() != QFileDevice::NoError)
                return QStringLiteral("%1 cannot be read: %2").arg(source, from.errorString());
            if (to.write(chunk) != chunk.size())
                return QStringLiteral("%1 cannot be written: %2").arg(target, to.errorString());
            moved = chunk.size();
        }
        if (moved == 0)
            break;
        copied += moved;
        if (progress)
            progress(copied, total);
    }
    // Renames over the target only now; until then the old file is untouched.
    if (!to.commit())
        return QStringLiteral("%1 cannot be written: %2").arg(target, to.errorString());
    return {};
}
