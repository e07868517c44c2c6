#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <memory>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

enum class Fault { Locked, FolderUnwritable, FileMoved, DiskFull };

// Makes a folder unwritable even for root, whose permissions are never checked.
bool setImmutable(const QString& folder, bool immutable)
{
    if (geteuid() != 0)
        return QFile::setPermissions(folder,
                                     immutable ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                               : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// Fills the file system holding `folder` up to the last byte.
void fillUp(const QString& filler)
{
    QFile file(filler);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (file.write(block) == block.size() && file.flush()) {
    }
    QByteArray byte(1, 'x');
    while (file.write(byte) == 1 && file.flush()) {
    }
}

} // namespace

// When the database cannot take a record, Update says what failed and keeps every typed
// value on screen; once the cause is gone, Update saves them.
class TestFailureReports : public QObject {
    Q_OBJECT

private slots:
    void failedUpdateNamesTheCauseAndLosesNothing_data();
    void failedUpdateNamesTheCauseAndLosesNothing();
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
    QTest::newRow("disk full, edit") << Fault::DiskFull << true << "The disk is full";
}

void TestFailureReports::failedUpdateNamesTheCauseAndLosesNothing()
{
    QFETCH(Fault, fault);
    QFETCH(bool, editing);
    QFETCH(QString, cause);

    FormDriver ui;
    const QString folder = ui.paths().dataFolder;
    if (fault == Fault::DiskFull) {
        if (geteuid() != 0)
            QSKIP("filling a disk needs a small file system, which only root may mount");
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a small file system: %1")
                                 .arg(QString::fromLocal8Bit(strerror(errno)))));
    }
    const auto unmount = qScopeGuard([&] {
        ui.close();
        if (fault == Fault::DiskFull)
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    });
    ui.openNamed({"ACETONE", "BENZENE"});
    ui.form().Data1.Database().setBusyTimeout(50);

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
        fillUp(filler);
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

QTEST_MAIN(TestFailureReports)
#include "tst_failurereports.moc"
