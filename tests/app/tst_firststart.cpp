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
    void existingDatabaseIsNeverTouched();
    void unusableDataFolderIsNamedWithTheReason();

private:
    static Paths pathsIn(const QString& dataFolder)
    {
        return {dataFolder, dataFolder, dataFolder + QStringLiteral("/backup")};
    }
};

void TestFirstStart::firstStartInstallsTheShippedChemicals()
{
    QTemporaryDir dir;
    // The data folder does not exist yet, nor does its parent.
    const Paths paths = pathsIn(dir.filePath(QStringLiteral("share/Flaskbook")));
    const Status installed = installShippedDatabase(paths);
    QVERIFY2(installed.ok(), qPrintable(installed.message()));

    const QList<QStringList> rows = readTable(paths.databaseFile());
    QCOMPARE(rows.size(), 30);
    QStringList names;
    for (const QStringList& row : rows) {
        QVERIFY(!row[0].isEmpty());
        QCOMPARE(row[0], row[0].toUpper());
        QVERIFY2(row[2].contains(QLatin1Char('-')), qPrintable(row[2]));
        const QString image = row[10];
        QVERIFY2(QFileInfo(image).isAbsolute(), qPrintable(image));
        QCOMPARE(QFileInfo(image).absolutePath(), paths.dataFolder);
        QVERIFY2(!QImage(image).isNull(), qPrintable(image));
        names.append(row[0]);
    }
    QCOMPARE(names.removeDuplicates(), 0);
    QVERIFY(!QFile::exists(paths.databaseFile() + QStringLiteral(".new")));
}

// Every start after the first finds a database and leaves it, and the folder, as they are.
void TestFirstStart::existingDatabaseIsNeverTouched()
{
    QTemporaryDir dir;
    const Paths paths = pathsIn(dir.path());
    createTestDatabase(paths.databaseFile(), QStringList{"MINE"});
    QVERIFY(installShippedDatabase(paths).ok());
    QCOMPARE(readNames(paths.databaseFile()), QStringList{"MINE"});
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("water.gif"))));
}

void TestFirstStart::unusableDataFolderIsNamedWithTheReason()
{
    QTemporaryDir dir;
    // A plain file where a folder should be stops the folder from being made, even for root.
    const QString blocker = dir.filePath(QStringLiteral("share"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const Paths paths = pathsIn(blocker + QStringLiteral("/Flaskbook"));
    const Status installed = installShippedDatabase(paths);
    QVERIFY(!installed.ok());
    QVERIFY2(installed.message().contains(paths.dataFolder), qPrintable(installed.message()));
    QVERIFY2(installed.message().contains(QLatin1String("Not a directory")),
             qPrintable(installed.message()));
}

QTEST_GUILESS_MAIN(TestFirstStart)
#include "tst_firststart.moc"
