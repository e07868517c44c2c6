#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QList>

struct sqlite3;

// Keeps the tables derived from DATA1 (the filter index, the structure index's waiting list)
// in step while one transaction appends many rows. Their insert triggers would run a few
// statements for every row; instead they are dropped for the transaction, each batch of new
// rows is handed on with one statement per table, and the triggers are created again from
// their own text before the commit. A rollback brings them back with everything else, and no
// other connection ever sees the file without them.
class AppendUpkeep {
public:
    // Inside the writer's transaction, before its first row.
    Status suspend(sqlite3* db);
    // Hands on the rows first..last (rowids), all appended since the last call.
    Status catchUp(sqlite3* db, long long first, long long last);
    // Creates the dropped triggers again; before the commit.
    Status resume(sqlite3* db);

private:
    struct Suspended {
        QByteArray name;
        QByteArray createSql;  // as the file held it
        QByteArray catchUpSql; // the trigger's work for rowids ?1..?2
    };
    QList<Suspended> suspended_;
};
