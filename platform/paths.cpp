#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>

Paths Paths::standard()
{
    Paths paths;
    // The base-directory rules ignore a relative XDG_DATA_HOME: it would follow the working
    // directory, and the database with it.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    paths.dataFolder =
        (QDir::isAbsolutePath(dataHome) ? dataHome
                                        : QDir::homePath() + QStringLiteral("/.local/share")) +
        QStringLiteral("/Flaskbook");
    paths.programFolder = QCoreApplication::applicationDirPath();
    paths.backupFolder = QDir::homePath() + QStringLiteral("/BackupFlaskbook");
    return paths;
}
