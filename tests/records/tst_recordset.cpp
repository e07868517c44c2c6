// What the random test of the record store cannot reach, or reaches only by chance: files
// it cannot open, a clear that leaves none of the old rows in the file, and the record set
// beside another program's changes.

#include "app/records/datacontrol.h"
#include "app/records/schema.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <array>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

class TestRecordset : public QObject {
    Q_OBJECT

private slots:
    void init();
    void unusableFilesAreRefusedWithTheReason_data();
    void unusableFilesAreRefusedWithTheReason();
    void openingAgainKeepsTheLocksOfOtherConnections();
    void clearGivesTheSpaceBackAndKeepsOtherTables();
    void newRecordSavedAfterTheLargestIdIsDeleted();
    void updateAndDeleteBesideAnotherProgram_data();
    void updateAndDeleteBesideAnotherProgram();
    void updateLeavesUntouchedFieldsAsStored();

private:
    // Opens the file with a holder bound to every record column, as the window's boxes are.
    void openBound(DataControl& data, std::array<TextHolder, 11>& boxes);

    QTemporaryDir dir_;
    const QString path_ = dir_.filePath(QStringLiteral("Flaskbook.mdb"));
};

void TestRecordset::init()
{
    QFile::remove(path_);
    QDir(path_).removeRecursively();
}

void TestRecordset::openBound(DataControl& data, std::array<TextHolder, 11>& boxes)
{
    for (int i = 0; i < 11; ++i)
        data.bind(recordColumns()[i], &boxes[size_t(i)]);
    data.setDatabaseName(path_);
    QVERIFY(data.Refresh().ok());
}

void TestRecordset::unusableFilesAreRefusedWithTheReason_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray("<missing>") << "does not exist";
    QTest::newRow("folder") << QByteArray("<folder>") << "folder";
    QTest::newRow("text") << QByteArray("Name,CAS\nETHANOL,64-17-5\n") << "not an SQLite database";
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    QTest::newRow("Access") << jet << "Microsoft Access";
    QTest::newRow("no DATA1") << QByteArray("<no DATA1>") << "no table DATA1";
    QTest::newRow("damaged") << QByteArray("<damaged>") << "cannot be read";
}

void TestRecordset::unusableFilesAreRefusedWithTheReason()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    if (content == "<folder>") {
        QVERIFY(QDir().mkpath(path_));
    } else if (content == "<no DATA1>") {
        runAsAnotherProgram(path_, "CREATE TABLE OTHER(x TEXT)");
    } else if (content == "<damaged>") {
        createTestDatabase(path_, QStringList{"ONE", "TWO"});
        // Keep the header, wreck the pages behind it.
        QFile file(path_);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(100);
        file.write(QByteArray(int(file.size()) - 100, '\xff'));
    } else if (content != "<missing>") {
        writeFile(path_, content);
    }

    DataControl data;
    TextHolder name;
    name.text = QStringLiteral("KEPT");
    data.bind(QStringLiteral("Name"), &name);
    data.setDatabaseName(path_);
    const Status opened = data.Refresh();
    QVERIFY2(opened.message().contains(reason, Qt::CaseInsensitive), qPrintable(opened.message()));
    QVERIFY(!data.Recordset().isOpen() && !data.Recordset().MoveFirst().ok());
    QCOMPARE(name.text, QStringLiteral("KEPT"));
    QVERIFY(!data.Database().Execute(QStringLiteral("delete * from DATA1 ")).ok());
    // The engine never creates a missing file.
    QCOMPARE(QFile::exists(path_), content != "<missing>");
}

// The locks this process holds on the file, as the kernel lists them; -1 when it cannot tell.
int locksHeldOn(const QString& path)
{
    struct stat info {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !locks.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray inode = ':' + QByteArray::number(qulonglong(info.st_ino)) + ' ';
    const QByteArray process = ' ' + QByteArray::number(::getpid()) + ' ';
    int held = 0;
    for (const QByteArray& line : locks.readAll().split('\n'))
        held += line.contains(process) && line.contains(inode);
    return held;
}

// Another program may write only once no connection of this one reads: opening the file a
// second time must leave the first connection's read lock in place.
void TestRecordset::openingAgainKeepsTheLocksOfOtherConnections()
{
    createTestDatabase(path_, QStringList{"ONE"});
    sqlite3* reader = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path_).constData(), &reader), SQLITE_OK);
    QCOMPARE(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM DATA1", nullptr, nullptr, nullptr),
             SQLITE_OK);
    const int held = locksHeldOn(path_);
    if (held < 0)
        QSKIP("The kernel's list of locks cannot be read here.");
    QVERIFY(held > 0);

    Database again;
    QVERIFY(again.OpenDatabase(path_).ok());
    QVERIFY(again.Close().ok());
    QCOMPARE(locksHeldOn(path_), held);
    sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(reader);
}

void TestRecordset::clearGivesTheSpaceBackAndKeepsOtherTables()
{
    // Both ways of clearing: the whole file rewritten, or the rows deleted beside another table.
    for (bool otherTable : {false, true}) {
        QStringList names;
        for (int i = 0; i < 2000; ++i)
            names.append(QStringLiteral("SECRET-COMPOUND-%1").arg(i));
        createTestDatabase(path_, names);
        if (otherTable)
            runAsAnotherProgram(path_,
                                "CREATE TABLE NOTES(t TEXT); INSERT INTO NOTES VALUES('kept')");
        const qint64 sizeBefore = QFileInfo(path_).size();

        Database db;
        QVERIFY(db.OpenDatabase(path_).ok());
        // A delete with a condition is no clear.
        QVERIFY(db.Execute(QStringLiteral("delete * from DATA1 where [Name]='NONE'")).ok());
        QCOMPARE(readNames(path_).size(), 2000);
        QVERIFY(db.Execute(QStringLiteral("delete * from DATA1 ")).ok());
        Statement notes;
        QCOMPARE(notes.prepare(db.handle(), "SELECT t FROM NOTES").ok(), otherTable);
        if (otherTable)
            QCOMPARE(notes.step(), SQLITE_ROW);
        notes.finalize();
        QVERIFY(db.Close().ok());

        const QByteArray bytes = fileContents(path_);
        QVERIFY(!bytes.contains("SECRET-COMPOUND"));
        QVERIFY(bytes.size() < sizeBefore / 4);
        QVERIFY(db.OpenDatabase(path_).ok());
    }
}

void TestRecordset::newRecordSavedAfterTheLargestIdIsDeleted()
{
    createTestDatabase(path_, QStringList{"ONE"});
    runAsAnotherProgram(path_, "INSERT INTO DATA1(rowid,Name) VALUES(9223372036854775807,'LAST')");
    DataControl data;
    TextHolder name;
    data.bind(QStringLiteral("Name"), &name);
    data.setDatabaseName(path_);
    QVERIFY(data.Refresh().ok());
    Recordset& rs = data.Recordset();
    QVERIFY(rs.MoveLast().ok());
    QVERIFY(rs.Delete().ok());
    QVERIFY(rs.AddNew().ok());
    name.text = QStringLiteral("NEW");
    const Status saved = rs.Update();
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
    QCOMPARE(readNames(path_), (QStringList{"ONE", "NEW"}));
    QVERIFY(rs.MoveFirst().ok() && rs.MoveNext().ok());
    QCOMPARE(name.text, QStringLiteral("NEW"));
    QVERIFY(rs.FindFirst(QStringLiteral("Name"), QStringLiteral("one")).ok() && !rs.NoMatch());
    QCOMPARE(name.text, QStringLiteral("ONE"));
}

void TestRecordset::updateAndDeleteBesideAnotherProgram_data()
{
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<bool>("beforeEdit");
    QTest::addColumn<QString>("typedFormula");
    // The record's rows after Update (or Delete), then what the boxes show, "" when unsaved.
    QTest::addColumn<QStringList>("rowsAfter");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<int>("editModeAfter");
    QTest::addColumn<bool>("saved");
    const QByteArray reuse = "DELETE FROM DATA1 WHERE rowid=2; INSERT INTO DATA1(rowid,Name,"
                             "MolFormula) VALUES(2,'SULFUR','S')";
    const QByteArray edit = "UPDATE DATA1 SET CAS='7440-66-6' WHERE rowid=2";
    // The row read at Edit is the record the user saw, whatever happened to it before.
    QTest::newRow("id reused before Edit")
        << reuse << true << "S8" << QStringList{"ONE", "SULFUR|S8"} << "SULFUR" << 0 << true;
    QTest::newRow("id reused during the edit")
        << reuse << false << "S8" << QStringList{"ONE", "SULFUR|S"} << "SULFUR" << 0 << false;
    QTest::newRow("deleted during the edit")
        << QByteArray("DELETE FROM DATA1 WHERE rowid=2") << false << "S8" << QStringList{"ONE"}
        << "ZINC" << 2 << false;
    QTest::newRow("another field edited")
        << edit << false << "Zn" << QStringList{"ONE", "ZINC|Zn|7440-66-6"} << "ZINC" << 0 << true;
    QTest::newRow("the same field edited apart")
        << QByteArray("UPDATE DATA1 SET MolFormula='ZN' WHERE rowid=2") << false << "Zn"
        << QStringList{"ONE", "ZINC|ZN"} << "ZINC" << 0 << false;
    QTest::newRow("name edited") << QByteArray("UPDATE DATA1 SET Name='ZINC OXIDE' WHERE rowid=2")
                                 << false << "Zn" << QStringList{"ONE", "ZINC OXIDE"}
                                 << "ZINC OXIDE" << 0 << false;
    // Delete: any change since the record was shown is a record the user has not seen.
    QTest::newRow("Delete, id reused")
        << reuse << true << "<delete>" << QStringList{"ONE", "SULFUR|S"} << "SULFUR" << 0 << false;
    QTest::newRow("Delete, field edited")
        << edit << true << "<delete>" << QStringList{"ONE", "ZINC||7440-66-6"} << "ZINC" << 0
        << false;
}

void TestRecordset::updateAndDeleteBesideAnotherProgram()
{
    QFETCH(QByteArray, other);
    QFETCH(bool, beforeEdit);
    QFETCH(QString, typedFormula);
    QFETCH(QStringList, rowsAfter);
    QFETCH(QString, shownName);
    QFETCH(int, editModeAfter);
    QFETCH(bool, saved);
    createTestDatabase(path_, QStringList{"ONE", "ZINC"});
    runAsAnotherProgram(path_, "UPDATE DATA1 SET MolFormula='', CAS=''");
    DataControl data;
    std::array<TextHolder, 11> boxes;
    openBound(data, boxes);
    Recordset& rs = data.Recordset();
    QVERIFY(rs.MoveLast().ok());
    TextHolder& name = boxes[0];
    TextHolder& formula = boxes[3];

    if (typedFormula == "<delete>") {
        runAsAnotherProgram(path_, other.constData());
        QVERIFY(rs.Delete().message().contains("Another program changed this record"));
    } else {
        if (beforeEdit)
            runAsAnotherProgram(path_, other.constData());
        QVERIFY(rs.Edit().ok());
        formula.text = typedFormula;
        if (!beforeEdit)
            runAsAnotherProgram(path_, other.constData());
        QCOMPARE(rs.Update().ok(), saved);
    }
    QStringList rows;
    for (const QStringList& row : readTable(path_)) {
        QStringList shown{row[0], row[3], row[2]};
        while (!shown.isEmpty() && shown.last().isEmpty())
            shown.removeLast();
        rows.append(shown.join('|'));
    }
    QCOMPARE(rows, rowsAfter);
    QCOMPARE(name.text, shownName);
    QCOMPARE(rs.EditMode(), editModeAfter);
    if (editModeAfter == Recordset::EditAdd) {
        // What was typed is saved as a new record.
        QVERIFY(rs.Update().ok());
        QCOMPARE(readNames(path_), (QStringList{"ONE", "ZINC"}));
        QCOMPARE(formula.text, typedFormula);
    }
}

void TestRecordset::updateLeavesUntouchedFieldsAsStored()
{
    createTestDatabase(path_, QStringList{"ZINC"});
    const char* raw =
        "SELECT quote(IUPAC)||quote(CAS)||quote(SpecialNote)||quote(Image) FROM DATA1";
    runAsAnotherProgram(path_, "UPDATE DATA1 SET IUPAC=X'00FF41', CAS=CAST(X'C328' AS TEXT), "
                               "SpecialNote='a'||char(13,10)||'b', Image=NULL");
    const auto rawFields = [&] {
        sqlite3* db = nullptr;
        sqlite3_stmt* query = nullptr;
        sqlite3_open(QFile::encodeName(path_).constData(), &db);
        sqlite3_prepare_v2(db, raw, -1, &query, nullptr);
        QByteArray bytes;
        if (sqlite3_step(query) == SQLITE_ROW)
            bytes = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
        sqlite3_finalize(query);
        sqlite3_close(db);
        return bytes;
    };
    const QByteArray before = rawFields();
    QVERIFY(before.contains("NULL"));

    DataControl data;
    std::array<TextHolder, 11> boxes;
    openBound(data, boxes);
    QVERIFY(data.Recordset().Edit().ok());
    boxes[0].text = QStringLiteral("ZINC DUST");
    QVERIFY(data.Recordset().Update().ok());
    QCOMPARE(readNames(path_), QStringList{"ZINC DUST"});
    QCOMPARE(rawFields(), before);
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
