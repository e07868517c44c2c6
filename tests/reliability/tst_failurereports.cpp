#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/smallfilesystem.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Fault { Locked, FolderUnwritable, FileMoved, DiskFull };
enum class FifoAt { Database, SaveAsTarget, PrintFile };

// After a second, opens the other end of a FIFO again and again, so a command that waits on
// the FIFO goes on (and the test fails) instead of hanging.
class FifoOtherEnd {
public:
    explicit FifoOtherEnd(const QString& fifo)
        : thread_([this, path = QFile::encodeName(fifo)] {
              const auto start = std::chrono::steady_clock::now();
              while (!done_) {
                  if (std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) {
                      const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK);
                      if (fd >= 0)
                          ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          })
    {
    }
    ~FifoOtherEnd()
    {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_ = false;
    std::thread thread_;
};

// Keeps a folder from being written, or a file from being removed, even by root, whose
// permissions are never checked. Without root only a folder can be kept so.
bool setImmutable(const QString& path, bool immutable)
{
    if (geteuid() != 0)
        return QFileInfo(path).isDir() &&
               QFile::setPermissions(path, immutable
                                               ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                               : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

} // namespace

// When the database cannot take a record, Update says what failed and keeps every typed
// value on screen; once the cause is gone, Update saves them.
class TestFailureReports : public QObject {
    Q_OBJECT

private slots:
    void failedUpdateNamesTheCauseAndLosesNothing_data();
    void failedUpdateNamesTheCauseAndLosesNothing();
    void recordThatCannotBeReadIsNotOpenedForTyping();
    void backupAndSaveAsOnAFullDiskLeaveTheOldFiles();
    void backupFolderBlockedByAFileIsReported();
    void lockedFileIsSaidAndTriedAgain();
    void numberFollowsRowsAnotherProgramAdds();
    void fieldsNotTypedInKeepTheirStoredText();
    void fifoIsRefusedWithoutWaiting_data();
    void fifoIsRefusedWithoutWaiting();
    void saveAsAndPrintNeverWriteIntoTheDatabase();
    void editOfARecordAnotherProgramReplacedOrDeleted_data();
    void editOfARecordAnotherProgramReplacedOrDeleted();
};

void TestFailureReports::failedUpdateNamesTheCauseAndLosesNothing_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("cause");
    QTest::newRow("locked, new record") << Fault::Locked << false << "is locked by another program";
    QTest::newRow("folder unwritable, edit")
        << Fault::FolderUnwritable << true << "may no longer write the database file";
    QTest::newRow("file moved away, new record")
        << Fault::FileMoved << false << "has been moved or deleted";
    QTest::newRow("disk full, new record") << Fault::DiskFull << false << "The disk is full";
}

void TestFailureReports::failedUpdateNamesTheCauseAndLosesNothing()
{
    QFETCH(Fault, fault);
    QFETCH(bool, editing);
    QFETCH(QString, cause);

    FormDriver ui;
    const QString folder = ui.paths().dataFolder;
    std::unique_ptr<SmallFileSystem> small;
    if (fault == Fault::DiskFull) {
        small = std::make_unique<SmallFileSystem>(folder, 1024);
        if (!small->unavailable().isEmpty())
            QSKIP(qPrintable(small->unavailable()));
    }
    // The window lets go of the file before the file system goes.
    const auto closeFirst = qScopeGuard([&ui] { ui.close(); });
    ui.openNamed({"ACETONE", "BENZENE"});
    ui.form().dataControl().Database().setBusyTimeout(50);

    ui.click(editing ? "editbtn" : "newbtn");
    ui.type("nametxt", QStringLiteral("KEEP ME"));
    ui.type("notetxt", QString(200, QLatin1Char('n')));
    // Typing goes in before what an edited record holds.
    const QString name = editing ? QStringLiteral("KEEP MEACETONE") : QStringLiteral("KEEP ME");
    const QString note =
        QString(200, QLatin1Char('n')) + (editing ? QStringLiteral("note ACETONE") : QString());

    const QString file = ui.databaseFile();
    const QString filler = folder + QStringLiteral("/filler");
    std::unique_ptr<WriteLock> lock;
    switch (fault) {
    case Fault::Locked:
        lock = std::make_unique<WriteLock>(file);
        QVERIFY(lock->locked());
        break;
    case Fault::FolderUnwritable:
        if (!setImmutable(folder, true))
            QSKIP("this file system cannot make a folder unwritable");
        break;
    case Fault::FileMoved:
        QVERIFY(QFile::rename(file, file + QStringLiteral(".moved")));
        break;
    case Fault::DiskFull:
        SmallFileSystem::fillUp(filler);
        break;
    }
    const auto repair = [&] {
        lock.reset();
        if (fault == Fault::FolderUnwritable)
            setImmutable(folder, false);
        if (fault == Fault::FileMoved && QFile::exists(file + QStringLiteral(".moved")))
            QFile::rename(file + QStringLiteral(".moved"), file);
        QFile::remove(filler);
    };
    const auto repairOnFailure = qScopeGuard(repair);

    ui.click("updatebtn");
    QCOMPARE(ui.prompts().size(), 1);
    const QString prompt = ui.prompts()[0];
    QVERIFY2(prompt.startsWith(QLatin1String("The record was not saved.")), qPrintable(prompt));
    QVERIFY2(prompt.contains(cause), qPrintable(prompt));
    QVERIFY2(prompt.contains(QDir::toNativeSeparators(file)), qPrintable(prompt));
    QCOMPARE(ui.shownText("nametxt"), name);
    QCOMPARE(ui.shownText("notetxt"), note);
    QVERIFY(!ui.box("nametxt")->Locked());
    QVERIFY(ui.button("updatebtn")->isEnabled());

    repair();
    ui.click("updatebtn");
    QCOMPARE(ui.prompts().size(), 1);
    QCOMPARE(readNames(file),
             editing ? QStringList({name, "BENZENE"}) : QStringList({"ACETONE", "BENZENE", name}));
    QCOMPARE(readTable(file)[editing ? 0 : 2][9], note);
}

void TestFailureReports::recordThatCannotBeReadIsNotOpenedForTyping()
{
    FormDriver ui;
    ui.openNamed({"ACETONE"});
    ui.form().dataControl().Database().setBusyTimeout(50);
    {
        WriteLock lock(ui.databaseFile());
        ui.click("editbtn");
    }
    QCOMPARE(ui.prompts().size(), 1);
    QVERIFY2(ui.prompts()[0].contains(QLatin1String("cannot be edited")) &&
                 ui.prompts()[0].contains(QLatin1String("locked")),
             qPrintable(ui.prompts()[0]));
    // The window stays in browsing, so Edit can be tried again.
    QVERIFY(ui.box("nametxt")->Locked());
    QVERIFY(ui.button("editbtn")->isEnabled());

    ui.click("editbtn");
    ui.type("nametxt", QStringLiteral("NEW "));
    ui.click("updatebtn");
    QCOMPARE(readNames(ui.databaseFile()), QStringList{"NEW ACETONE"});
}

void TestFailureReports::backupAndSaveAsOnAFullDiskLeaveTheOldFiles()
{
    FormDriver ui;
    const Paths paths = ui.paths();
    QVERIFY(QDir().mkpath(paths.backupFolder));
    SmallFileSystem small(paths.backupFolder, 1024);
    if (!small.unavailable().isEmpty())
        QSKIP(qPrintable(small.unavailable()));
    const auto closeFirst = qScopeGuard([&ui] { ui.close(); });
    writeFile(paths.backupFile(), "the last backup");
    // The last page of this file has room for 100 more bytes, less than a record's text.
    const QString exported = paths.backupFolder + QStringLiteral("/record.txt");
    writeFile(exported, QByteArray(4096 - 100, 'x'));
    SmallFileSystem::fillUp(paths.backupFolder + QStringLiteral("/filler"));
    ui.openNamed({"ACETONE"});

    ui.dialogs.queueAccept(exported);
    ui.click("saveasbtn");
    ui.dialogs.queueAccept(paths.backupFolder + QStringLiteral("/new.txt"));
    ui.click("saveasbtn");
    ui.boxes.queueAnswer(vbYes);
    ui.click("backupbtn");

    const QStringList prompts = ui.prompts();
    QCOMPARE(prompts.size(), 4);
    QVERIFY2(prompts[0].startsWith("The record could not be saved to " + exported) &&
                 prompts[0].contains(QLatin1String("No space left on device")),
             qPrintable(prompts[0]));
    QVERIFY2(prompts[1].contains(QLatin1String("No space left on device")), qPrintable(prompts[1]));
    QVERIFY2(prompts[3].startsWith("The database could not be saved to " + paths.backupFile()) &&
                 prompts[3].contains(QLatin1String("No space left on device")),
             qPrintable(prompts[3]));
    QCOMPARE(fileContents(exported), QByteArray(4096 - 100, 'x'));
    QCOMPARE(fileContents(paths.backupFile()), QByteArray("the last backup"));
    QCOMPARE(QDir(paths.backupFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"Flaskbook.mdb", "filler", "record.txt"}));
}

void TestFailureReports::backupFolderBlockedByAFileIsReported()
{
    FormDriver ui;
    const Paths paths = ui.paths();
    writeFile(paths.backupFolder, "in the way");
    if (!setImmutable(paths.backupFolder, true))
        QSKIP("no file here can be kept from being removed");
    const auto release = qScopeGuard([&paths] { setImmutable(paths.backupFolder, false); });
    ui.openNamed({"ACETONE"});
    QCOMPARE(ui.clickAnswering("backupbtn", vbYes).size(), 2);
    QVERIFY2(ui.prompts()[1].contains("The backup folder " + paths.backupFolder +
                                      " cannot be made: a file of that name is in its place and "
                                      "cannot be removed"),
             qPrintable(ui.prompts()[1]));
    QCOMPARE(fileContents(paths.backupFolder), QByteArray("in the way"));
}

// Another program's lock is named as such, at start-up and on every command it stops, and
// the next command after it is gone works; no lock passes for an end of the records.
void TestFailureReports::lockedFileIsSaidAndTriedAgain()
{
    FormDriver ui;
    createTestDatabase(ui.databaseFile(), QStringList{"ONE", "TWO"});
    {
        WriteLock lock(ui.databaseFile());
        ui.reopen();
        QVERIFY2(ui.prompts().value(0).contains("locked by another program"),
                 qPrintable(ui.prompts().value(0)));
    }
    ui.click("nextbtn");
    QCOMPARE(ui.shownText("nametxt"), QStringLiteral("TWO"));

    ui.form().dataControl().Database().setBusyTimeout(50);
    WriteLock lock(ui.databaseFile());
    for (const char* button : {"nextbtn", "firstbtn", "searchbtn", "sortascbtn"}) {
        ui.boxes.clear();
        ui.click(button);
        QCOMPARE(ui.prompts().size(), 1);
        QVERIFY2(ui.prompts()[0].contains("locked by another program"), button);
    }
    QCOMPARE(ui.shownText("nametxt"), QStringLiteral("TWO"));
}

void TestFailureReports::numberFollowsRowsAnotherProgramAdds()
{
    FormDriver ui;
    ui.openNamed({"BETA", "GAMMA"});
    ui.click("sortascbtn");
    ui.click("nextbtn");
    ui.click("editbtn");
    ui.type("notetxt", QStringLiteral(" and more"));
    runAsAnotherProgram(ui.databaseFile(), "INSERT INTO DATA1(Name) VALUES('ALPHA')");
    ui.click("updatebtn");
    QCOMPARE(ui.shownText("nametxt"), QStringLiteral("GAMMA"));
    QCOMPARE(ui.recordNumber(), QStringLiteral("3"));
}

void TestFailureReports::fifoIsRefusedWithoutWaiting_data()
{
    QTest::addColumn<FifoAt>("at");
    QTest::newRow("database") << FifoAt::Database;
    QTest::newRow("Save As target") << FifoAt::SaveAsTarget;
    QTest::newRow("Print file") << FifoAt::PrintFile;
}

void TestFailureReports::fifoIsRefusedWithoutWaiting()
{
    QFETCH(FifoAt, at);
    FormDriver ui;
    ui.openNamed({"ACETONE"});
    const QString fifo =
        at == FifoAt::Database ? ui.databaseFile() : ui.filePath(QStringLiteral("record.txt"));
    if (at == FifoAt::Database) {
        ui.close();
        QVERIFY(QFile::remove(fifo));
    }
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const FifoOtherEnd otherEnd(fifo);
    switch (at) {
    case FifoAt::Database:
        ui.reopen();
        break;
    case FifoAt::SaveAsTarget:
        ui.dialogs.queueAccept(fifo);
        ui.click("saveasbtn");
        break;
    case FifoAt::PrintFile:
        ui.dialogs.queueAccept(fifo);
        ui.click("printbtn");
        break;
    }
    QCOMPARE(ui.prompts().size(), 1);
    QVERIFY2(ui.prompts()[0].contains(fifo) &&
                 ui.prompts()[0].contains(
                     QLatin1String("It is a FIFO (named pipe), not a regular file.")),
             qPrintable(ui.prompts()[0]));
}

// Save As appends to its file and Print replaces it: either would damage the database, also
// when a link leads there.
void TestFailureReports::saveAsAndPrintNeverWriteIntoTheDatabase()
{
    FormDriver ui;
    ui.openNamed({"ACETONE"});
    const QByteArray before = fileContents(ui.databaseFile());
    const QString link = ui.filePath(QStringLiteral("record.pdf"));
    QVERIFY(QFile::link(ui.databaseFile(), link));

    ui.dialogs.queueAccept(ui.databaseFile());
    ui.click("saveasbtn");
    ui.dialogs.queueAccept(link);
    ui.click("printbtn");

    const QStringList prompts = ui.prompts();
    QCOMPARE(prompts.size(), 2);
    for (const QString& prompt : prompts)
        QVERIFY2(prompt.contains(QLatin1String("It is the database file the record comes from.")),
                 qPrintable(prompt));
    QCOMPARE(fileContents(ui.databaseFile()), before);
}

void TestFailureReports::editOfARecordAnotherProgramReplacedOrDeleted_data()
{
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<QString>("advice");
    QTest::addColumn<QString>("shownName");
    QTest::newRow("deleted") << QByteArray("DELETE FROM DATA1 WHERE Name='BENZENE'")
                             << "press Update to save it as a new record, or Escape to drop it"
                             << "KEEP MEBENZENE";
    QTest::newRow("id reused") << QByteArray("DELETE FROM DATA1 WHERE Name='BENZENE'; INSERT "
                                             "INTO DATA1(rowid,Name) VALUES(2,'TOLUENE')")
                               << "Another program changed this record"
                               << "TOLUENE";
}

void TestFailureReports::editOfARecordAnotherProgramReplacedOrDeleted()
{
    QFETCH(QByteArray, other);
    QFETCH(QString, advice);
    QFETCH(QString, shownName);
    FormDriver ui;
    ui.openNamed({"ACETONE", "BENZENE"});
    ui.click("nextbtn");
    ui.click("editbtn");
    ui.type("nametxt", QStringLiteral("KEEP ME"));
    runAsAnotherProgram(ui.databaseFile(), other.constData());
    ui.click("updatebtn");
    QCOMPARE(ui.prompts().size(), 1);
    QVERIFY2(ui.prompts()[0].contains(advice), qPrintable(ui.prompts()[0]));
    QCOMPARE(ui.shownText("nametxt"), shownName);
    // Typing waits to be saved or dropped; a record another program put there is only shown.
    const bool kept = shownName.startsWith("KEEP");
    QCOMPARE(ui.box("nametxt")->Locked(), !kept);
    if (kept) {
        QTest::keyClick(ui.box("nametxt")->editor(), Qt::Key_Escape);
        QCOMPARE(ui.shownText("nametxt"), QString());
        QCOMPARE(readNames(ui.databaseFile()), QStringList{"ACETONE"});
    }
}

// A note with Windows line ends shows as plain line breaks; saving another field leaves it
// as it is stored.
void TestFailureReports::fieldsNotTypedInKeepTheirStoredText()
{
    FormDriver ui;
    QStringList record = sampleRecord("ACETONE");
    record[9] = QStringLiteral("first\r\nsecond");
    ui.open({record});
    ui.click("editbtn");
    ui.type("CAStxt", QStringLiteral("67-64-1"));
    ui.click("updatebtn");
    QCOMPARE(readTable(ui.databaseFile())[0][9], QStringLiteral("first\r\nsecond"));
    QVERIFY(readTable(ui.databaseFile())[0][2].endsWith("67-64-1"));
}

QTEST_MAIN(TestFailureReports)
#include "tst_failurereports.moc"
