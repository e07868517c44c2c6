#include "app/firststart.h"
#include "tests/support/testdatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestFirstStart : public QObject {
    Q_OBJECT

private slots:
    void firstStartInstallsTheShippedChemicals();
    void unusableDataFolderIsNamedWithTheReason();
};

void TestFirstStart::firstStartInstallsTheShippedChemicals()
{
    QTemporaryDir dir;
    // The data folder does not exist yet, nor does its parent.
    const QString folder = dir.filePath(QStringLiteral("share/Flaskbook"));
    const Paths paths{folder, folder, folder + QStringLiteral("/backup")};
    const Status installed = installShippedDatabase(paths);
    QVERIFY2(installed.ok(), qPrintable(installed.message()));

    QStringList names = readNames(paths.databaseFile());
    QCOMPARE(names.size(), 30);
    QCOMPARE(names.removeDuplicates(), 0);
    for (const QStringList& row : readTable(paths.databaseFile())) {
        QCOMPARE(row[0], row[0].toUpper());
        QCOMPARE(QFileInfo(row[10]).absolutePath(), paths.dataFolder);
        QVERIFY2(!QImage(row[10]).isNull(), qPrintable(row[10]));
    }
    QVERIFY(!QFile::exists(paths.databaseFile() + QStringLiteral(".new")));

    // Every later start finds a database and leaves it, and the folder, as they are.
    createTestDatabase(paths.databaseFile(), QStringList{"MINE"});
    QVERIFY(QFile::remove(paths.dataFolder + QStringLiteral("/water.gif")));
    QVERIFY(installShippedDatabase(paths).ok());
    QCOMPARE(readNames(paths.databaseFile()), QStringList{"MINE"});
    QVERIFY(!QFile::exists(paths.dataFolder + QStringLiteral("/water.gif")));
}

void TestFirstStart::unusableDataFolderIsNamedWithTheReason()
{
    QTemporaryDir dir;
    // A plain file where a folder should be stops the folder from being made, even for root.
    const QString blocker = dir.filePath(QStringLiteral("share"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const QString folder = blocker + QStringLiteral("/Flaskbook");
    const Paths paths{folder, folder, folder + QStringLiteral("/backup")};
    const Status installed = installShippedDatabase(paths);
    QVERIFY(!installed.ok());
    QVERIFY2(installed.message().contains(paths.dataFolder), qPrintable(installed.message()));
    QVERIFY2(installed.message().contains(QLatin1String("Not a directory")),
             qPrintable(installed.message()));
}

QTEST_GUILESS_MAIN(TestFirstStart)
#include "tst_firststart.moc"
