#include "app/form1.h"
#include "platform/msgbox.h"
#include "tests/support/testdatabase.h"

#include <QTemporaryDir>
#include <QTest>

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void opensTheDatabaseOfTheDataFolder();
    void unopenableDatabaseIsReportedByName();
    void closingCommitsThePendingRecord();

private:
    Paths pathsIn(const QTemporaryDir& dir) const
    {
        return {dir.path(), dir.path(), dir.filePath(QStringLiteral("backup"))};
    }
};

void TestForm1::opensTheDatabaseOfTheDataFolder()
{
    QTemporaryDir dir;
    createTestDatabase(pathsIn(dir).databaseFile(), QStringList{"ONE", "TWO"});
    ScriptedMessageBoxes boxes;
    Form1 form(pathsIn(dir));
    QCOMPARE(form.windowTitle(), QStringLiteral("Flaskbook"));
    QCOMPARE(form.Data1.Recordset().RecordCount(), 2);
    QVERIFY(boxes.shown().isEmpty());
}

void TestForm1::unopenableDatabaseIsReportedByName()
{
    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    Form1 form(pathsIn(dir));
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(boxes.shown()[0].prompt.contains(pathsIn(dir).databaseFile()));
    QVERIFY(boxes.shown()[0].prompt.contains(QLatin1String("does not exist")));
    QVERIFY(!form.Data1.Recordset().isOpen());
    QVERIFY(form.close());
}

void TestForm1::closingCommitsThePendingRecord()
{
    QTemporaryDir dir;
    const QString path = pathsIn(dir).databaseFile();
    createTestDatabase(path, QStringList{"ONE"});
    TextHolder name;
    {
        Form1 form(pathsIn(dir));
        form.Data1.bind(QStringLiteral("Name"), &name);
        form.show();
        QVERIFY(form.Data1.Recordset().AddNew().ok());
        name.text = QStringLiteral("TYPED");
        QVERIFY(form.close());
    }
    QCOMPARE(readNames(path), (QStringList{"ONE", "TYPED"}));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
