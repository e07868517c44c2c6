#include "tests/support/testdatabase.h"

#include "app/records/database.h"
#include "app/records/schema.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

QStringList sampleRecord(const QString& name)
{
    return {name,
            QStringLiteral("iupac ") + name,
            QStringLiteral("cas-") + name,
            QStringLiteral("formula ") + name,
            QStringLiteral("mw ") + name,
            QStringLiteral("eq ") + name,
            QStringLiteral("appearance ") + name,
            QStringLiteral("spgr ") + name,
            QStringLiteral("ph ") + name,
            QStringLiteral("note ") + name,
            QString()};
}

void createTestDatabase(const QString& path, const QList<QStringList>& records)
{
    QFile::remove(path);
    const Status created = Database::CreateDatabase(path);
    QVERIFY2(created.ok(), qPrintable(created.message()));

    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    {
        Statement insert;
        QVERIFY(insert
                    .prepare(db, "INSERT INTO "
                                 "DATA1(Name,IUPAC,CAS,MolFormula,MolWeight,EqWeight,Appearance,"
                                 "Spgr,pH,SpecialNote,Image) VALUES(?,?,?,?,?,?,?,?,?,?,?)")
                    .ok());
        for (const QStringList& record : records) {
            QCOMPARE(record.size(), 11);
            for (int i = 0; i < 11; ++i)
                insert.bindText(i + 1, record[i]);
            QCOMPARE(insert.step(), SQLITE_DONE);
            insert.reset();
        }
    }
    QCOMPARE(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void createTestDatabase(const QString& path, const QStringList& names)
{
    QList<QStringList> records;
    for (const QString& name : names)
        records.append(sampleRecord(name));
    createTestDatabase(path, records);
}

void createLargeTestDatabase(const QString& path, int count)
{
    createTestDatabase(path, QList<QStringList>());
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray sql =
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < " +
        QByteArray::number(count) +
        ") INSERT INTO DATA1 SELECT 'CHEMICAL ' || x, '', 'cas-' || x, '', '', '', "
        "'', '', '', '', '', NULL FROM n";
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

QList<QStringList> readTable(const QString& path)
{
    QList<QStringList> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return rows;
    }
    const QByteArray sql =
        "SELECT " + recordColumns().join(QLatin1Char(',')).toUtf8() + " FROM DATA1 ORDER BY rowid";
    Statement select;
    if (select.prepare(db, sql.constData()).ok()) {
        while (select.step() == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < 11; ++i)
                row.append(select.columnText(i));
            rows.append(row);
        }
    }
    select.finalize();
    sqlite3_close(db);
    return rows;
}

QStringList readNames(const QString& path)
{
    QStringList names;
    for (const QStringList& row : readTable(path))
        names.append(row.value(0));
    return names;
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

WriteLock::WriteLock(const QString& path)
{
    sqlite3_open(QFile::encodeName(path).constData(), &db_);
    locked_ = sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

WriteLock::~WriteLock()
{
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
}

void runAsAnotherProgram(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
}
