#include "app/records/appendupkeep.h"

#include "app/records/database.h"
#include "app/records/structuretables.h"
#include "app/records/textfilter.h"

#include <sqlite3.h>

namespace {

struct InsertTrigger {
    const char* name;
    QByteArray catchUpSql;
};

QList<InsertTrigger> insertTriggers()
{
    return {{TextFilterIndex::insertTriggerName(), TextFilterIndex::appendedRowsSql()},
            {structureIndexInsertTrigger(), structureIndexAppendedRowsSql()}};
}

Status failure(sqlite3* db)
{
    return Status::failure(QStringLiteral("The database cannot be written: %1")
                               .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

// Runs each statement of `sql` with ?1 and ?2 bound to first and last.
Status runForRows(sqlite3* db, const QByteArray& sql, long long first, long long last)
{
    const char* next = sql.constData();
    while (*next) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, next, -1, &stmt, &next) != SQLITE_OK)
            return failure(db);
        if (!stmt)
            break; // only blanks were left
        sqlite3_bind_int64(stmt, 1, first);
        sqlite3_bind_int64(stmt, 2, last);
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            return failure(db);
    }
    return {};
}

} // namespace

Status AppendUpkeep::suspend(sqlite3* db)
{
    suspended_.clear();
    for (const InsertTrigger& trigger : insertTriggers()) {
        Statement find;
        if (Status s = find.prepare(db, "SELECT sql FROM sqlite_master WHERE type = 'trigger' "
                                        "AND name = ?1");
            !s.ok())
            return s;
        find.bindText(1, QString::fromLatin1(trigger.name));
        const int rc = find.step();
        if (rc == SQLITE_DONE)
            continue; // the file has no such table
        if (rc != SQLITE_ROW)
            return failure(db);
        Suspended entry{trigger.name, find.columnUtf8(0), trigger.catchUpSql};
        find.finalize();
        if (sqlite3_exec(db, "DROP TRIGGER " + entry.name, nullptr, nullptr, nullptr) != SQLITE_OK)
            return failure(db);
        suspended_.append(entry);
    }
    return {};
}

Status AppendUpkeep::catchUp(sqlite3* db, long long first, long long last)
{
    for (const Suspended& entry : suspended_)
        if (Status s = runForRows(db, entry.catchUpSql, first, last); !s.ok())
            return s;
    return {};
}

Status AppendUpkeep::resume(sqlite3* db)
{
    for (const Suspended& entry : suspended_)
        if (sqlite3_exec(db, entry.createSql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return failure(db);
    suspended_.clear();
    return {};
}
