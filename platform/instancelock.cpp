#include "platform/instancelock.h"

#include "core/filekind.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kRetryMs = 50;

} // namespace

InstanceLock::InstanceLock(const QString& dataFolder) : folder_(dataFolder) {}

InstanceLock::~InstanceLock()
{
    unlock();
}

Status InstanceLock::tryLock()
{
    heldElsewhere_ = false;
    if (fd_ >= 0)
        return {};
    if (!QDir().mkpath(folder_))
        return Status::failure(QStringLiteral("The folder %1 cannot be created.").arg(folder_));
    // The folder itself is locked: it cannot be removed while it holds the database, and
    // nothing is created in it, so no link there can lead a write elsewhere. Close-on-exec,
    // so a program started from here never inherits the lock.
    const int fd =
        ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Status::failure(
            QStringLiteral("The folder %1 cannot be opened: %2").arg(folder_, systemError()));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        heldElsewhere_ = errno == EWOULDBLOCK;
        const QString reason = systemError();
        ::close(fd);
        if (heldElsewhere_)
            return Status::failure(QStringLiteral("Flaskbook is already running."));
        return Status::failure(
            QStringLiteral("The folder %1 cannot be locked: %2").arg(folder_, reason));
    }
    fd_ = fd;
    return {};
}

Status InstanceLock::tryLockFor(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    Status result;
    while (!(result = tryLock()).ok() && heldElsewhere_ && !deadline.hasExpired())
        QThread::msleep(kRetryMs);
    return result;
}

void InstanceLock::unlock()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
