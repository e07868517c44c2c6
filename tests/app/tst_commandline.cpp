#include "app/commandline.h"
#include "platform/instancelock.h"
#include "tests/support/testdatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void helpListsTheJobs();
    void programRunsTheJobsWithoutAWindow();

private:
    struct Run {
        int exitCode;
        QString output;
        QString errors;
    };
    Run flaskbook(const QStringList& arguments);
    QTemporaryDir home_;
};

void TestCommandLine::parsing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode"); // -1: no end, the job or the window runs
    QTest::addColumn<int>("job");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("mapping");

    const int none = int(CommandLineJob::None), import = int(CommandLineJob::Import),
              exportJob = int(CommandLineJob::Export);
    QTest::newRow("window") << QStringList{} << -1 << none << ""
                            << "";
    QTest::newRow("import sd") << QStringList{"--import", "a.sdf"} << -1 << import << "a.sdf"
                               << "";
    QTest::newRow("import gz, mapping")
        << QStringList{"--import", "a.SDF.gz", "--mapping", "m.txt"} << -1 << import << "a.SDF.gz"
        << "m.txt";
    QTest::newRow("export csv") << QStringList{"--export", "out.csv"} << -1 << exportJob
                                << "out.csv"
                                << "";
    QTest::newRow("import of unknown kind") << QStringList{"--import", "a.txt"} << 2 << none << ""
                                            << "";
    QTest::newRow("export to smiles") << QStringList{"--export", "a.smi"} << 2 << none << ""
                                      << "";
    QTest::newRow("export compressed") << QStringList{"--export", "a.sdf.gz"} << 2 << none << ""
                                       << "";
    QTest::newRow("mapping alone") << QStringList{"--mapping", "m.txt"} << 2 << none << ""
                                   << "";
    QTest::newRow("mapping with export")
        << QStringList{"--export", "a.csv", "--mapping", "m.txt"} << 2 << none << ""
        << "";
    QTest::newRow("both jobs") << QStringList{"--import", "a.sdf", "--export", "b.csv"} << 2 << none
                               << ""
                               << "";
    QTest::newRow("two imports") << QStringList{"--import", "a.sdf", "--import", "b.sdf"} << 2
                                 << none << ""
                                 << "";
    QTest::newRow("no file") << QStringList{"--import"} << 2 << none << ""
                             << "";
    QTest::newRow("stray argument") << QStringList{"a.sdf"} << 2 << none << ""
                                    << "";
}

void TestCommandLine::parsing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, job);
    QFETCH(QString, file);
    QFETCH(QString, mapping);
    const CommandLine line = parseCommandLine(QStringList{"flaskbook"} + arguments);
    QCOMPARE(line.endNow, exitCode >= 0);
    if (line.endNow)
        QCOMPARE(line.exitCode, exitCode);
    QCOMPARE(int(line.job), job);
    QCOMPARE(line.file, file);
    QCOMPARE(line.mappingFile, mapping);
    QCOMPARE(line.errors.isEmpty(), exitCode != 2);
}

void TestCommandLine::helpListsTheJobs()
{
    const CommandLine line = parseCommandLine({"flaskbook", "--help"});
    QVERIFY(line.endNow);
    QCOMPARE(line.exitCode, 0);
    for (const char* option : {"--import <FILE>", "--export <FILE>", "--mapping <FILE>"})
        QVERIFY2(line.output.contains(QLatin1String(option)), option);
}

TestCommandLine::Run TestCommandLine::flaskbook(const QStringList& arguments)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
    // No display: the jobs must not need one.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/flaskbook"), arguments);
    if (!program.waitForFinished(120000))
        qWarning("flaskbook did not end");
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
}

// A fresh data folder gets the shipped 30 chemicals first; the file's records follow them.
void TestCommandLine::programRunsTheJobsWithoutAWindow()
{
    const QString smiles = home_.filePath(QStringLiteral("few.smi"));
    writeFile(smiles, "CCO ethanol\nnot a smiles\nc1ccccc1 benzene\n");
    Run run = flaskbook({"--import", smiles});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.output.startsWith(QStringLiteral("Added 2 records, skipped 1, in ")),
             qPrintable(run.output));
    QCOMPARE(run.output.count(QLatin1Char('\n')), 1);
    QVERIFY2(run.errors.contains(QStringLiteral("line 2")), qPrintable(run.errors));
    const QString database = home_.filePath(QStringLiteral("data/Flaskbook/Flaskbook.mdb"));
    QCOMPARE(readNames(database).size(), 32);
    QCOMPARE(readNames(database).last(), QStringLiteral("BENZENE"));

    const QString csv = home_.filePath(QStringLiteral("all.csv"));
    run = flaskbook({"--export", csv});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.output.left(30), QStringLiteral("Exported 32 records to %1").arg(csv).left(30));
    QCOMPARE(fileContents(csv).trimmed().split('\n').size(), 33);

    // A mapping file names the items; one that cannot be read is a failure, not a usage mistake.
    run = flaskbook({"--import", smiles, "--mapping", home_.filePath(QStringLiteral("none.txt"))});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.output.isEmpty());
    QCOMPARE(readNames(database).size(), 32);

    run = flaskbook({"--export", home_.filePath(QStringLiteral("all.smi"))});
    QCOMPARE(run.exitCode, 2);

    {
        InstanceLock window(home_.filePath(QStringLiteral("data/Flaskbook")));
        QVERIFY(window.tryLock().ok());
        run = flaskbook({"--import", smiles});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("Flaskbook is running")),
                 qPrintable(run.errors));
        QCOMPARE(readNames(database).size(), 32);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
