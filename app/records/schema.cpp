#include "app/records/schema.h"

#include "app/records/database.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

const QStringList& recordColumns()
{
    static const QStringList columns{
        QStringLiteral("Name"),        QStringLiteral("IUPAC"),     QStringLiteral("CAS"),
        QStringLiteral("MolFormula"),  QStringLiteral("MolWeight"), QStringLiteral("EqWeight"),
        QStringLiteral("Appearance"),  QStringLiteral("Spgr"),      QStringLiteral("pH"),
        QStringLiteral("SpecialNote"), QStringLiteral("Image")};
    return columns;
}

const QStringList& searchableColumns()
{
    static const QStringList columns{QStringLiteral("Name"),      QStringLiteral("IUPAC"),
                                     QStringLiteral("CAS"),       QStringLiteral("MolFormula"),
                                     QStringLiteral("MolWeight"), QStringLiteral("EqWeight"),
                                     QStringLiteral("Spgr")};
    return columns;
}

int columnIndex(const QString& column)
{
    const QStringList& columns = recordColumns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Status createDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return Status::failure(QStringLiteral("The file exists already."));

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const Status failed =
            Status::failure(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)), rc);
        sqlite3_close(db);
        return failed;
    }

    QString sql = QStringLiteral("BEGIN; CREATE TABLE DATA1 (");
    for (const QString& column : recordColumns())
        sql += column + QStringLiteral(" TEXT, ");
    sql.chop(2);
    sql += QStringLiteral(");");
    // NOCASE indexes serve both the case-blind search and the name orders; each index
    // ends in the rowid, which breaks ties between equal names.
    for (const QString& column : searchableColumns())
        sql += QStringLiteral("CREATE INDEX DATA1_%1 ON DATA1(%1 COLLATE NOCASE);").arg(column);
    sql += QStringLiteral("COMMIT;");

    char* error = nullptr;
    rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    Status result;
    if (rc != SQLITE_OK)
        result = Status::failure(QString::fromUtf8(error ? error : sqlite3_errstr(rc)), rc);
    sqlite3_free(error);
    sqlite3_close(db);
    if (!result.ok())
        QFile::remove(path);
    return result;
}
