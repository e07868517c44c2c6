#include "app/records/structuretables.h"

QByteArray createStructureIndexSql()
{
    return "CREATE TABLE IF NOT EXISTS DATA1_structure_about(format INTEGER NOT NULL);"
           // Every indexed row: its structure's hash (to check the entry still belongs to the
           // row) and the molecule's pickle, NULL where the row has no molecule.
           "CREATE TABLE IF NOT EXISTS DATA1_structure_index(id INTEGER PRIMARY KEY, "
           "structure_hash INTEGER NOT NULL, pickle BLOB);"
           // The fingerprints apart, so a search reads them without the pickles.
           "CREATE TABLE IF NOT EXISTS DATA1_structure_screen(id INTEGER PRIMARY KEY, "
           "fingerprint BLOB NOT NULL);"
           // A row's mark changes with every change of the row, so the indexer can tell that
           // the structure it read is still the row's when it writes the entry.
           "CREATE TABLE IF NOT EXISTS DATA1_structure_waiting(id INTEGER PRIMARY KEY, "
           "mark INTEGER NOT NULL);"
           "INSERT INTO DATA1_structure_about(format) SELECT " +
           QByteArray::number(kStructureIndexFormat) +
           " WHERE NOT EXISTS (SELECT 1 FROM DATA1_structure_about);"
           "CREATE TRIGGER IF NOT EXISTS DATA1_structure_added AFTER INSERT ON DATA1 BEGIN "
           "DELETE FROM DATA1_structure_index WHERE id = new.rowid; "
           "DELETE FROM DATA1_structure_screen WHERE id = new.rowid; "
           "INSERT OR REPLACE INTO DATA1_structure_waiting(id, mark) VALUES(new.rowid, random()); "
           "END;"
           "CREATE TRIGGER IF NOT EXISTS DATA1_structure_changed AFTER UPDATE ON DATA1 "
           "WHEN old.rowid <> new.rowid OR old.Structure IS NOT new.Structure BEGIN "
           "DELETE FROM DATA1_structure_index WHERE id IN (old.rowid, new.rowid); "
           "DELETE FROM DATA1_structure_screen WHERE id IN (old.rowid, new.rowid); "
           "DELETE FROM DATA1_structure_waiting WHERE id = old.rowid; "
           "INSERT OR REPLACE INTO DATA1_structure_waiting(id, mark) VALUES(new.rowid, random()); "
           "END;"
           "CREATE TRIGGER IF NOT EXISTS DATA1_structure_removed AFTER DELETE ON DATA1 BEGIN "
           "DELETE FROM DATA1_structure_index WHERE id = old.rowid; "
           "DELETE FROM DATA1_structure_screen WHERE id = old.rowid; "
           "DELETE FROM DATA1_structure_waiting WHERE id = old.rowid; END;";
}

const char* structureIndexInsertTrigger()
{
    return "DATA1_structure_added";
}

QByteArray structureIndexAppendedRowsSql()
{
    return "DELETE FROM DATA1_structure_index WHERE id BETWEEN ?1 AND ?2;"
           "DELETE FROM DATA1_structure_screen WHERE id BETWEEN ?1 AND ?2;"
           "INSERT OR REPLACE INTO DATA1_structure_waiting(id, mark) "
           "SELECT rowid, random() FROM DATA1 WHERE rowid BETWEEN ?1 AND ?2;";
}

QByteArray dropStructureIndexSql()
{
    return "DROP TRIGGER IF EXISTS DATA1_structure_added;"
           "DROP TRIGGER IF EXISTS DATA1_structure_changed;"
           "DROP TRIGGER IF EXISTS DATA1_structure_removed;"
           "DROP TABLE IF EXISTS DATA1_structure_about;"
           "DROP TABLE IF EXISTS DATA1_structure_index;"
           "DROP TABLE IF EXISTS DATA1_structure_screen;"
           "DROP TABLE IF EXISTS DATA1_structure_waiting;";
}

QByteArray structureIndexTablePattern()
{
    return "DATA1\\_structure\\_%";
}
