#include "tests/support/smallfilesystem.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <unistd.h>

SmallFileSystem::SmallFileSystem(const QString& folder, int kilobytes) : folder_(folder)
{
    if (geteuid() != 0) {
        unavailable_ = QStringLiteral("mounting a small file system needs root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) !=
        0)
        unavailable_ = QStringLiteral("cannot mount a small file system here: %1")
                           .arg(QString::fromLocal8Bit(strerror(errno)));
}

SmallFileSystem::~SmallFileSystem()
{
    if (unavailable_.isEmpty())
        ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

void SmallFileSystem::fillUp(const QString& filler)
{
    // Unbuffered, so every write reaches the file system and the last one fails there.
    QFile file(filler);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    for (const int size : {65536, 4096, 1}) {
        const QByteArray block(size, 'x');
        while (file.write(block) == size) {
        }
    }
}
