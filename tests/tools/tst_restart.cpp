#include "platform/instancelock.h"
#include "platform/msgbox.h"
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
    void failureIsShownToTheUser();

private:
    QTemporaryDir dir_;
};

void TestRestart::restartWaitsForTheEndAndStartsOnce()
{
    const QString folder = dir_.filePath(QStringLiteral("not made yet"));
    InstanceLock running(folder);
    QVERIFY(running.tryLock().ok());
    // Restart is started by the running program and must not inherit its lock.
    QProcess sleeper;
    sleeper.setProgram(QStringLiteral("sleep"));
    sleeper.setArguments({QStringLiteral("5")});
    sleeper.setStandardOutputFile(QProcess::nullDevice());
    sleeper.setStandardErrorFile(QProcess::nullDevice());
    QVERIFY(sleeper.startDetached());

    ScriptedPrograms programs;
    auto restart = std::async(std::launch::async, [&] {
        return restartWhenEnded(folder, QStringLiteral("/opt/flaskbook/flaskbook"), 1500);
    });
    QTest::qWait(300);
    QVERIFY(restart.wait_for(std::chrono::seconds(0)) == std::future_status::timeout);
    running.unlock();
    const Status restarted = restart.get();
    QVERIFY2(restarted.ok(), qPrintable(restarted.message()));
    QCOMPARE(programs.started(), QStringList{"/opt/flaskbook/flaskbook"});
    // Restart let go of the lock again, for the program it started.
    InstanceLock started(folder);
    QVERIFY(started.tryLock().ok());
}

void TestRestart::restartGivesUpWhileTheProgramRuns()
{
    InstanceLock running(dir_.path());
    QVERIFY(running.tryLock().ok());
    ScriptedPrograms programs;
    const Status restarted =
        restartWhenEnded(dir_.path(), QStringLiteral("/opt/flaskbook/flaskbook"), 200);
    QVERIFY(!restarted.ok());
    QVERIFY2(restarted.message().contains(QLatin1String("did not end")),
             qPrintable(restarted.message()));
    QVERIFY(programs.started().isEmpty());
}

void TestRestart::failureIsShownToTheUser()
{
    ScriptedMessageBoxes boxes;
    reportRestartFailure(Status::failure(QStringLiteral("Flaskbook is still running.")));
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(boxes.shown()[0].prompt.contains("Flaskbook is still running."));
    QVERIFY(boxes.shown()[0].prompt.contains("start Flaskbook yourself"));
    QCOMPARE(boxes.shown()[0].style, int(vbOKOnly | vbExclamation));
}

QTEST_MAIN(TestRestart)
#include "tst_restart.moc"
