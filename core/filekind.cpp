#include "core/filekind.h"

#include <QFile>

#include <cstring>
#include <sys/stat.h>

Status regularFileOrNewName(const QString& path)
{
    struct stat info {};
    // A name that cannot be looked up is left to the open that follows, which says why.
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    QString kind = QStringLiteral("a special file");
    if (S_ISDIR(info.st_mode))
        kind = QStringLiteral("a folder");
    else if (S_ISFIFO(info.st_mode))
        kind = QStringLiteral("a FIFO (named pipe)");
    else if (S_ISCHR(info.st_mode))
        kind = QStringLiteral("a character device");
    else if (S_ISBLK(info.st_mode))
        kind = QStringLiteral("a block device");
    else if (S_ISSOCK(info.st_mode))
        kind = QStringLiteral("a socket");
    return Status::failure(QStringLiteral("It is %1, not a regular file.").arg(kind));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isSameFile(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
