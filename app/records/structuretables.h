#pragma once

#include <QByteArray>

// The tables of the structure index that live beside DATA1 in the same file, and the triggers
// on DATA1 that keep them in step whoever writes the file. They are keyed by DATA1's rowid:
// the triggers drop an entry when its row goes and mark a row waiting when it comes or its
// structure changes, so index and waiting list together always name every row. VACUUM keeps
// the rowids of DATA1 while the table has an index (our files have seven), but renumbers a
// table without one, so the index also checks itself against DATA1 before each use.

// Changed whenever what the tables hold changes meaning: a file with another number is rebuilt.
constexpr int kStructureIndexFormat = 2;

// Creates the tables and triggers that are missing (the index then holds no entry and waits
// for nothing), and records the format. Needs DATA1 with its Structure column.
QByteArray createStructureIndexSql();
// The trigger that marks each new row waiting, and the same work as statements for the rows
// whose rowids lie in ?1..?2 (see AppendUpkeep).
const char* structureIndexInsertTrigger();
QByteArray structureIndexAppendedRowsSql();
// Drops the tables and triggers.
QByteArray dropStructureIndexSql();
// Matches the index's own tables in sqlite_master.tbl_name (an SQL LIKE pattern, escape '\').
QByteArray structureIndexTablePattern();
