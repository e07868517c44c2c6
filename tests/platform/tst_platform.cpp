#include "platform/commondialog.h"
#include "platform/instancelock.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void dialogFiltersMatchBothCases();
    void dataFolderFollowsXdgDataHome();
    void secondCopyRefusesWhateverHappensInTheFolder();
};

void TestPlatform::dialogFiltersMatchBothCases()
{
    QCOMPARE(qtNameFilters(QStringLiteral("Text Files|*.txt|GIF Images|*.GIF")),
             (QStringList{QStringLiteral("Text Files (*.txt *.TXT)"),
                          QStringLiteral("GIF Images (*.GIF *.gif)")}));
}

void TestPlatform::dataFolderFollowsXdgDataHome()
{
    qputenv("XDG_DATA_HOME", "/tmp/flaskbook-xdg-test");
    const Paths paths = Paths::standard();
    QCOMPARE(paths.databaseFile(),
             QStringLiteral("/tmp/flaskbook-xdg-test/Flaskbook/Flaskbook.mdb"));
    QVERIFY(paths.backupFile().endsWith(QStringLiteral("/BackupFlaskbook/Flaskbook.mdb")));
    // A relative one is ignored, as the base-directory rules say.
    qputenv("XDG_DATA_HOME", "relative/data");
    QCOMPARE(Paths::standard().dataFolder, QDir::homePath() + "/.local/share/Flaskbook");
}

void TestPlatform::secondCopyRefusesWhateverHappensInTheFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("data"));
    const QString target = dir.filePath(QStringLiteral("target"));
    // A lock file of an earlier version, now a link to nowhere: nothing is created there.
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::link(target, folder + QStringLiteral("/Flaskbook.lock")));
    InstanceLock running(folder);
    QVERIFY(running.tryLock().ok());
    QVERIFY(!QFile::exists(target));

    // Every file in the data folder is deleted while the first copy runs.
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden))
        QVERIFY(QFile::remove(folder + QLatin1Char('/') + name));
    InstanceLock second(folder);
    const Status refused = second.tryLock();
    QVERIFY(!refused.ok() && second.heldElsewhere());
    QCOMPARE(refused.message(), QStringLiteral("Flaskbook is already running."));
    running.unlock();
    QVERIFY(second.tryLock().ok());
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
