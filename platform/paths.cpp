#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

Paths Paths::standard()
{
    Paths paths;
    paths.dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                       QStringLiteral("/Flaskbook");
    paths.programFolder = QCoreApplication::applicationDirPath();
    paths.backupFolder = QDir::homePath() + QStringLiteral("/BackupFlaskbook");
    return paths;
}
