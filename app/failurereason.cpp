#include "app/failurereason.h"

#include <QDir>

#include <sqlite3.h>

QString storeFailureReason(const Status& failure, const QString& databaseFile)
{
    const QString file = QDir::toNativeSeparators(databaseFile);
    QString reason;
    switch (failure.engineCode() & 0xff) {
    case SQLITE_FULL:
        reason = QStringLiteral("The disk is full: there is no room left to write %1.");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        reason = QStringLiteral("The database file %1 is locked by another program.");
        break;
    case SQLITE_READONLY:
        reason = failure.engineCode() == SQLITE_READONLY_DBMOVED
                     ? QStringLiteral("The database file %1 has been moved or deleted since "
                                      "Flaskbook opened it.")
                     : QStringLiteral("The database file %1 cannot be written.");
        break;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        // A commit opens a journal beside the file, so an unwritable folder shows up here.
        reason = QStringLiteral("Flaskbook may no longer write the database file %1 or its "
                                "folder.");
        break;
    case SQLITE_IOERR:
        reason = QStringLiteral("The disk reported an error while writing %1.");
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        reason = QStringLiteral("The database file %1 is damaged.");
        break;
    default:
        return failure.message();
    }
    return reason.arg(file) + QStringLiteral("\n(") +
           QString::fromUtf8(sqlite3_errstr(failure.engineCode())) + QLatin1Char(')');
}

bool isLockedByAnotherProgram(const Status& failure)
{
    const int code = failure.engineCode() & 0xff;
    return !failure.ok() && (code == SQLITE_BUSY || code == SQLITE_LOCKED);
}
