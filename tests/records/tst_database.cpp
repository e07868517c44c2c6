#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void init();

    void unusableFilesAreRefusedWithTheReason_data();
    void unusableFilesAreRefusedWithTheReason();
    void everyCallFailsCleanlyWithoutARecordSet();

    void secondConnectionClearsBesideTheFirst();
    void clearGivesTheSpaceBack();
    void clearKeepsTablesOfOthers();
    void windowStatementsAreMappedToSqlite();
    void recordSourcesAreRecognised_data();
    void recordSourcesAreRecognised();

private:
    QTemporaryDir dir_;
    QString path_;
};

void TestDatabase::init()
{
    path_ = dir_.filePath(QStringLiteral("Flaskbook.mdb"));
    QFile::remove(path_);
    QDir(path_).removeRecursively();
}

void TestDatabase::unusableFilesAreRefusedWithTheReason_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray("<missing>") << "does not exist";
    QTest::newRow("folder") << QByteArray("<folder>") << "folder";
    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("text") << QByteArray("Name,CAS\nETHANOL,64-17-5\n") << "not an SQLite database";
    QByteArray jet(2048, '\0');
    jet.replace(0, 20, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
    QTest::newRow("Access 97") << jet << "Microsoft Access";
    QByteArray ace = jet;
    ace.replace(4, 15, "Standard ACE DB");
    QTest::newRow("Access 2007") << ace << "Microsoft Access";
    QTest::newRow("no DATA1") << QByteArray("<sqlite without DATA1>") << "no table DATA1";
    QTest::newRow("DATA1 lacking columns")
        << QByteArray("<sqlite with other DATA1>") << "not a Flaskbook table";
    QTest::newRow("damaged") << QByteArray("<damaged sqlite>") << "cannot be read";
}

void TestDatabase::unusableFilesAreRefusedWithTheReason()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    if (content == "<folder>") {
        QVERIFY(QDir().mkpath(path_));
    } else if (content.startsWith("<sqlite") || content == "<damaged sqlite>") {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path_).constData(), &db), SQLITE_OK);
        const char* sql = content == "<sqlite with other DATA1>"
                              ? "CREATE TABLE DATA1(Name TEXT, Formula TEXT)"
                              : "CREATE TABLE OTHER(x TEXT)";
        QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        if (content == "<damaged sqlite>") {
            createTestDatabase(path_, QStringList{"ONE", "TWO"});
            // Keep the header, wreck the pages behind it.
            QFile file(path_);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(100);
            file.write(QByteArray(int(file.size()) - 100, '\xff'));
        }
    } else if (content != "<missing>") {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    DataControl data;
    data.setDatabaseName(path_);
    const Status opened = data.Refresh();
    QVERIFY(!opened.ok());
    QVERIFY2(opened.message().contains(reason, Qt::CaseInsensitive), qPrintable(opened.message()));
    QVERIFY(!data.Recordset().isOpen());
    // Nothing of ours is left behind next to a file we could not use.
    QVERIFY(!QFile::exists(path_ + QStringLiteral("-journal")));
    if (content == "<missing>")
        QVERIFY(!QFile::exists(path_));
}

void TestDatabase::everyCallFailsCleanlyWithoutARecordSet()
{
    DataControl data;
    TextHolder name;
    name.text = QStringLiteral("KEPT");
    data.bind(QStringLiteral("Name"), &name);
    data.setDatabaseName(path_);
    QVERIFY(!data.Refresh().ok());

    Recordset& rs = data.Recordset();
    QCOMPARE(rs.RecordCount(), 0);
    QCOMPARE(rs.AbsolutePosition(), -1);
    QVERIFY(rs.IsBOF() && rs.IsEOF());
    QCOMPARE(rs.EditMode(), 0);
    for (const Status& s : {rs.MoveFirst(), rs.MoveLast(), rs.MoveNext(), rs.MovePrevious(),
                            rs.FindFirst(QStringLiteral("Name"), QStringLiteral("X")), rs.AddNew(),
                            rs.Edit(), rs.Update(), rs.CancelUpdate(), rs.Delete()}) {
        QVERIFY(!s.ok());
        QVERIFY(!s.message().isEmpty());
    }
    QCOMPARE(name.text, QStringLiteral("KEPT"));
    QVERIFY(!data.Database().Execute(QStringLiteral("delete * from DATA1 ")).ok());
    QVERIFY(data.Close().ok());
}

void TestDatabase::secondConnectionClearsBesideTheFirst()
{
    createTestDatabase(path_, QStringList{"ONE", "TWO", "THREE"});
    DataControl data;
    TextHolder name;
    data.bind(QStringLiteral("Name"), &name);
    data.setDatabaseName(path_);
    QVERIFY(data.Refresh().ok());
    QVERIFY(data.Recordset().MoveNext().ok());
    QVERIFY(data.Recordset().FindFirst(QStringLiteral("Name"), QStringLiteral("THREE")).ok());

    Database second;
    second.setBusyTimeout(50);
    QVERIFY(second.OpenDatabase(path_).ok());
    const Status cleared = second.Execute(QStringLiteral("delete * from DATA1 "));
    QVERIFY2(cleared.ok(), qPrintable(cleared.message()));
    QCOMPARE(readTable(path_).size(), 0);

    // The first connection still writes after the second one is done.
    QVERIFY(data.Recordset().AddNew().ok());
    name.text = QStringLiteral("AFTER");
    QVERIFY(data.Recordset().Update().ok());
    QCOMPARE(readNames(path_), QStringList{"AFTER"});
}

void TestDatabase::clearGivesTheSpaceBack()
{
    QStringList names;
    for (int i = 0; i < 2000; ++i)
        names.append(QStringLiteral("SECRET-COMPOUND-%1").arg(i));
    createTestDatabase(path_, names);
    const qint64 sizeBefore = QFileInfo(path_).size();

    Database db;
    QVERIFY(db.OpenDatabase(path_).ok());
    QVERIFY(db.Execute(QStringLiteral("delete * from DATA1 ")).ok());
    QVERIFY(db.Close().ok());

    QFile file(path_);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(!bytes.contains("SECRET-COMPOUND"));
    QVERIFY(bytes.size() < sizeBefore / 4);
    // The table and its indexes are still there for new records.
    QVERIFY(db.OpenDatabase(path_).ok());
}

void TestDatabase::clearKeepsTablesOfOthers()
{
    createTestDatabase(path_, QStringList{"ONE", "TWO"});
    sqlite3* raw = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path_).constData(), &raw), SQLITE_OK);
    QCOMPARE(sqlite3_exec(raw, "CREATE TABLE NOTES(t TEXT); INSERT INTO NOTES VALUES('kept')",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(raw);

    Database db;
    QVERIFY(db.OpenDatabase(path_).ok());
    QVERIFY(db.Execute(QStringLiteral("delete * from DATA1 ")).ok());
    QCOMPARE(readTable(path_).size(), 0);
    Statement notes;
    QVERIFY(notes.prepare(db.handle(), "SELECT t FROM NOTES").ok());
    QCOMPARE(notes.step(), SQLITE_ROW);
    QCOMPARE(notes.columnText(0), QStringLiteral("kept"));
}

void TestDatabase::windowStatementsAreMappedToSqlite()
{
    QCOMPARE(toSqliteStatement(QStringLiteral("delete * from DATA1 ")),
             QStringLiteral("DELETE FROM DATA1"));
    QCOMPARE(toSqliteStatement(QStringLiteral("DELETE  *  FROM [DATA1]")),
             QStringLiteral("DELETE FROM \"DATA1\""));
    QCOMPARE(toSqliteStatement(QStringLiteral("SELECT * FROM DATA1 ORDER BY [Name] asc")),
             QStringLiteral("SELECT * FROM DATA1 ORDER BY \"Name\" asc"));

    createTestDatabase(path_, QStringList{"ONE", "TWO"});
    Database db;
    QVERIFY(db.OpenDatabase(path_).ok());
    QVERIFY(db.Execute(QStringLiteral("delete * from DATA1 where [Name]='ONE'")).ok());
    QCOMPARE(readNames(path_), QStringList{"TWO"});
    const Status bad = db.Execute(QStringLiteral("delete * from NOSUCHTABLE"));
    QVERIFY(!bad.ok());
    QVERIFY2(bad.message().contains(QLatin1String("no such table")), qPrintable(bad.message()));
}

void TestDatabase::recordSourcesAreRecognised_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("order");
    QTest::newRow("table") << "DATA1" << true << int(RecordOrder::Table);
    QTest::newRow("asc") << "SELECT * FROM DATA1 ORDER BY [Name] asc" << true
                         << int(RecordOrder::NameAscending);
    QTest::newRow("desc") << "SELECT * FROM DATA1 ORDER BY [Name] desc" << true
                          << int(RecordOrder::NameDescending);
    QTest::newRow("no direction") << "select * from data1 order by name" << true
                                  << int(RecordOrder::NameAscending);
    QTest::newRow("other column") << "SELECT * FROM DATA1 ORDER BY [CAS] asc" << false << 0;
    QTest::newRow("other table") << "OTHER" << false << 0;
}

void TestDatabase::recordSourcesAreRecognised()
{
    QFETCH(QString, source);
    QFETCH(bool, known);
    QFETCH(int, order);
    RecordOrder parsed = RecordOrder::Table;
    QCOMPARE(recordOrderOf(source, parsed), known);
    if (known)
        QCOMPARE(int(parsed), order);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
