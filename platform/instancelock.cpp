#include "platform/instancelock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kRetryMs = 50;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

InstanceLock::InstanceLock(const QString& dataFolder)
    : folder_(dataFolder), path_(dataFolder + QStringLiteral("/Flaskbook.lock"))
{
}

InstanceLock::~InstanceLock()
{
    unlock();
}

InstanceLock::Result InstanceLock::tryLock()
{
    if (fd_ >= 0)
        return Locked;
    if (!QDir().mkpath(folder_)) {
        error_ = QStringLiteral("The folder %1 cannot be created.").arg(folder_);
        return Failed;
    }
    // Close-on-exec, so a program started from here never inherits the lock.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = QStringLiteral("%1 cannot be opened: %2").arg(path_, systemError());
        return Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        error_ = held ? QStringLiteral("Flaskbook is already running.")
                      : QStringLiteral("%1 cannot be locked: %2").arg(path_, systemError());
        ::close(fd);
        return held ? HeldElsewhere : Failed;
    }
    fd_ = fd;
    error_.clear();
    return Locked;
}

InstanceLock::Result InstanceLock::tryLockFor(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    Result result;
    while ((result = tryLock()) == HeldElsewhere && !deadline.hasExpired())
        QThread::msleep(kRetryMs);
    return result;
}

void InstanceLock::unlock()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
