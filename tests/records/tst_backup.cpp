#include "app/records/backup.h"
#include "app/records/database.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <thread>

#include <sqlite3.h>

namespace {

enum class Situation {
    SpilledWriteOpen,
    RowAddedBesideAReader,
    RowsChangedDuringTheCopy,
    TargetIsALink,
    FolderIsALink
};

constexpr int kRecords = 3000;

sqlite3* openConnection(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    return db;
}

QString integrityOf(const QString& path)
{
    Database db;
    Statement check;
    if (!db.OpenDatabase(path).ok() || !check.prepare(db.handle(), "PRAGMA integrity_check").ok() ||
        check.step() != SQLITE_ROW)
        return QStringLiteral("cannot be checked");
    return check.columnText(0);
}

} // namespace

// Backups taken while other programs use the database, and backups that must fail.
class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void copyHoldsEveryCommittedRowAndNothingElse_data();
    void copyHoldsEveryCommittedRowAndNothingElse();
    void failedCheckKeepsThePreviousBackup();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString database_;
    QString folder_;
    QString backup_;
};

void TestBackup::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    database_ = dir_->filePath(QStringLiteral("Flaskbook.mdb"));
    folder_ = dir_->filePath(QStringLiteral("backup"));
    backup_ = folder_ + QStringLiteral("/Flaskbook.mdb");
    createLargeTestDatabase(database_, kRecords);
    QVERIFY(QDir().mkpath(folder_));
}

void TestBackup::copyHoldsEveryCommittedRowAndNothingElse_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<Situation>("situation");
    QTest::newRow("write transaction spilled into the file")
        << "delete" << Situation::SpilledWriteOpen;
    QTest::newRow("write transaction spilled into the log") << "wal" << Situation::SpilledWriteOpen;
    QTest::newRow("row in the log only") << "wal" << Situation::RowAddedBesideAReader;
    QTest::newRow("rows changed between two steps of the copy")
        << "delete" << Situation::RowsChangedDuringTheCopy;
    QTest::newRow("rows changed between two steps of the engine's copy")
        << "wal" << Situation::RowsChangedDuringTheCopy;
    QTest::newRow("backup is a link to another file") << "delete" << Situation::TargetIsALink;
    QTest::newRow("backup folder is a link to a folder") << "delete" << Situation::FolderIsALink;
}

void TestBackup::copyHoldsEveryCommittedRowAndNothingElse()
{
    QFETCH(QString, journal);
    QFETCH(Situation, situation);
    // A connection that has read keeps the log from being folded into the file.
    sqlite3* reader = openConnection(database_);
    QCOMPARE(
        sqlite3_exec(reader,
                     qPrintable("PRAGMA journal_mode=" + journal + "; SELECT count(*) FROM DATA1"),
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    QString target = backup_;
    const QString thesis = dir_->filePath(QStringLiteral("thesis.txt"));

    // Another program changes every row in a transaction too large for its cache, and
    // rolls it back a moment later.
    std::promise<void> spilled;
    std::future<void> writer;
    if (situation == Situation::SpilledWriteOpen)
        writer = std::async(std::launch::async, [this, &spilled] {
            sqlite3* db = openConnection(database_);
            sqlite3_exec(db,
                         "PRAGMA cache_size=5; BEGIN; UPDATE DATA1 SET Name = 'UNCOMMITTED', "
                         "Image = hex(randomblob(300))",
                         nullptr, nullptr, nullptr);
            spilled.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
    if (situation == Situation::RowAddedBesideAReader) {
        sqlite3* db = openConnection(database_);
        QCOMPARE(
            sqlite3_exec(db, "INSERT INTO DATA1(Name) VALUES('ADDED')", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    if (situation == Situation::TargetIsALink) {
        writeFile(thesis, "years of work");
        QVERIFY(QFile::link(thesis, backup_));
    }
    if (situation == Situation::FolderIsALink) {
        const QString linked = dir_->filePath(QStringLiteral("linked"));
        QVERIFY(QFile::link(folder_, linked));
        target = linked + QStringLiteral("/Flaskbook.mdb");
    }
    if (writer.valid())
        spilled.get_future().wait();

    // Another program changes every row once the copy has made its first step.
    BackupProgress changeRows;
    bool changed = false;
    if (situation == Situation::RowsChangedDuringTheCopy) {
        sqlite3* db = openConnection(database_);
        // Rows large enough that the copy takes several steps.
        QCOMPARE(sqlite3_exec(db, "UPDATE DATA1 SET SpecialNote = hex(randomblob(2000))", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
        changeRows = [this, &changed](qint64 copied, qint64 total) {
            if (changed || copied == 0 || copied == total)
                return;
            sqlite3* db = openConnection(database_);
            QCOMPARE(sqlite3_exec(db, "UPDATE DATA1 SET Name = Name || ' (changed)'", nullptr,
                                  nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
            changed = true;
        };
    }

    const Status saved = backupDatabase(database_, target, changeRows);
    if (writer.valid())
        writer.wait();
    sqlite3_close(reader);
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
    QCOMPARE(changed, situation == Situation::RowsChangedDuringTheCopy);

    QCOMPARE(integrityOf(backup_), QStringLiteral("ok"));
    QStringList committed;
    for (int i = 1; i <= kRecords; ++i)
        committed.append(QStringLiteral("CHEMICAL %1").arg(i) +
                         (situation == Situation::RowsChangedDuringTheCopy
                              ? QStringLiteral(" (changed)")
                              : QString()));
    if (situation == Situation::RowAddedBesideAReader)
        committed.append(QStringLiteral("ADDED"));
    QCOMPARE(readNames(backup_), committed);
    QVERIFY(!QFileInfo(backup_).isSymLink());
    if (situation == Situation::TargetIsALink)
        QCOMPARE(fileContents(thesis), QByteArray("years of work"));
    // The copy's own journal or log files do not stay behind.
    QCOMPARE(QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{"Flaskbook.mdb"});
}

// A source page the engine cannot read is copied as it is; the check catches it.
void TestBackup::failedCheckKeepsThePreviousBackup()
{
    writeFile(backup_, "the last backup");
    sqlite3* db = openConnection(database_);
    sqlite3_stmt* root = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = 'DATA1_Name'", -1,
                       &root, nullptr);
    QCOMPARE(sqlite3_step(root), SQLITE_ROW);
    const qint64 page = sqlite3_column_int64(root, 0);
    sqlite3_finalize(root);
    sqlite3_close(db);
    QFile file(database_);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek((page - 1) * 4096));
    QCOMPARE(file.write(QByteArray(4096, '\0')), 4096);
    file.close();

    const Status saved = backupDatabase(database_, backup_);
    QVERIFY2(!saved.ok() && saved.message().contains(QLatin1String("failed its check")),
             qPrintable(saved.message()));
    QCOMPARE(fileContents(backup_), QByteArray("the last backup"));
    QCOMPARE(QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{"Flaskbook.mdb"});
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
