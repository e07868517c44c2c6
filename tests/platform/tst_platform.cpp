#include "platform/commondialog.h"
#include "platform/msgbox.h"
#include "platform/paths.h"

#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void scriptedMessageBoxesRecordAndAnswer();
    void unansweredBoxesTakeTheirDefaultButton_data();
    void unansweredBoxesTakeTheirDefaultButton();
    void filtersMatchBothLetterCases();
    void commonDialogKeepsItsSettingsAndCancelEmptiesTheName();
    void dataFolderFollowsXdgDataHome();
};

void TestPlatform::scriptedMessageBoxesRecordAndAnswer()
{
    ScriptedMessageBoxes boxes;
    boxes.queueAnswer(vbYes);
    QCOMPARE(MsgBox(QStringLiteral(" Are you sure?"), vbYesNo | vbQuestion | vbDefaultButton2,
                    QStringLiteral("Delete Current Record")),
             int(vbYes));
    QCOMPARE(MsgBox(QStringLiteral("Done")), int(vbOK));
    QCOMPARE(boxes.shown().size(), 2);
    QCOMPARE(boxes.shown()[0].prompt, QStringLiteral(" Are you sure?"));
    QCOMPARE(boxes.shown()[0].style, vbYesNo | vbQuestion | vbDefaultButton2);
    QCOMPARE(boxes.shown()[0].title, QStringLiteral("Delete Current Record"));
    QCOMPARE(boxes.shown()[1].title, QStringLiteral("Flaskbook"));
}

void TestPlatform::unansweredBoxesTakeTheirDefaultButton_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK") << int(vbOKOnly | vbInformation) << int(vbOK);
    QTest::newRow("Yes/No") << int(vbYesNo) << int(vbYes);
    QTest::newRow("Yes/No, No default")
        << int(vbYesNo | vbQuestion | vbDefaultButton2) << int(vbNo);
    QTest::newRow("OK/Cancel, Cancel default")
        << int(vbOKCancel | vbDefaultButton2) << int(vbCancel);
}

void TestPlatform::unansweredBoxesTakeTheirDefaultButton()
{
    QFETCH(int, style);
    QFETCH(int, answer);
    ScriptedMessageBoxes boxes;
    QCOMPARE(MsgBox(QStringLiteral("?"), style), answer);
}

void TestPlatform::filtersMatchBothLetterCases()
{
    QCOMPARE(qtNameFilters(QStringLiteral("GIF Images|*.GIF")),
             QStringList{QStringLiteral("GIF Images (*.GIF *.gif)")});
    QCOMPARE(qtNameFilters(QStringLiteral("Text Files|*.txt|Word Files|*.doc")),
             (QStringList{QStringLiteral("Text Files (*.txt *.TXT)"),
                          QStringLiteral("Word Files (*.doc *.DOC)")}));
}

void TestPlatform::commonDialogKeepsItsSettingsAndCancelEmptiesTheName()
{
    ScriptedCommonDialogs dialogs;
    dialogs.queueAccept(QStringLiteral("/pictures/ethanol.gif"));
    dialogs.queueCancel();
    CommonDialog cd1;
    cd1.InitDir = QStringLiteral("/pictures");
    cd1.Filter = QStringLiteral("GIF Images|*.GIF");
    cd1.DialogTitle = QStringLiteral("Browse GIF Image File");
    QVERIFY(cd1.ShowOpen());
    QCOMPARE(cd1.FileName, QStringLiteral("/pictures/ethanol.gif"));
    QVERIFY(!cd1.ShowSave());
    QCOMPARE(cd1.FileName, QString());
    QCOMPARE(dialogs.shown().size(), 2);
    QCOMPARE(dialogs.shown()[1].kind, CommonDialog::Kind::Save);
    QCOMPARE(dialogs.shown()[1].initDir, QStringLiteral("/pictures"));
    QCOMPARE(dialogs.shown()[1].title, QStringLiteral("Browse GIF Image File"));
}

void TestPlatform::dataFolderFollowsXdgDataHome()
{
    qputenv("XDG_DATA_HOME", "/tmp/flaskbook-xdg-test");
    const Paths paths = Paths::standard();
    QCOMPARE(paths.dataFolder, QStringLiteral("/tmp/flaskbook-xdg-test/Flaskbook"));
    QCOMPARE(paths.databaseFile(),
             QStringLiteral("/tmp/flaskbook-xdg-test/Flaskbook/Flaskbook.mdb"));
    QVERIFY(paths.backupFile().endsWith(QStringLiteral("/BackupFlaskbook/Flaskbook.mdb")));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
