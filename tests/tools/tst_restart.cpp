#include "platform/instancelock.h"
#include "platform/startprogram.h"
#include "tools/restart/restart.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <future>

class TestRestart : public QObject {
    Q_OBJECT

private slots:
    void restartWaitsForTheEndAndStartsOnce();
    void restartGivesUpWhileTheProgramRuns();

private:
    QTemporaryDir dir_;
};

void TestRestart::restartWaitsForTheEndAndStartsOnce()
{
    const QString folder = dir_.filePath(QStringLiteral("not made yet"));
    InstanceLock running(folder);
    QCOMPARE(running.tryLock(), InstanceLock::Locked);
    InstanceLock second(folder);
    QCOMPARE(second.tryLock(), InstanceLock::HeldElsewhere);
    QCOMPARE(second.errorString(), QStringLiteral("Flaskbook is already running."));
    // Restart is started by the running program and must not inherit its lock.
    QProcess sleeper;
    sleeper.setProgram(QStringLiteral("sleep"));
    sleeper.setArguments({QStringLiteral("5")});
    sleeper.setStandardOutputFile(QProcess::nullDevice());
    sleeper.setStandardErrorFile(QProcess::nullDevice());
    QVERIFY(sleeper.startDetached());

    ScriptedPrograms programs;
    QString error;
    auto restart = std::async(std::launch::async, [&] {
        return restartWhenEnded(folder, QStringLiteral("/opt/flaskbook/flaskbook"), 1500, &error);
    });
    QTest::qWait(300);
    QVERIFY(restart.wait_for(std::chrono::seconds(0)) == std::future_status::timeout);
    running.unlock();
    QVERIFY2(restart.get(), qPrintable(error));
    QCOMPARE(programs.started(), QStringList{"/opt/flaskbook/flaskbook"});
    // Restart let go of the lock again, for the program it started.
    QCOMPARE(second.tryLock(), InstanceLock::Locked);
}

void TestRestart::restartGivesUpWhileTheProgramRuns()
{
    InstanceLock running(dir_.path());
    QCOMPARE(running.tryLock(), InstanceLock::Locked);
    ScriptedPrograms programs;
    QString error;
    QVERIFY(
        !restartWhenEnded(dir_.path(), QStringLiteral("/opt/flaskbook/flaskbook"), 200, &error));
    QVERIFY2(error.contains(QLatin1String("did not end")), qPrintable(error));
    QVERIFY(programs.started().isEmpty());
}

QTEST_MAIN(TestRestart)
#include "tst_restart.moc"
