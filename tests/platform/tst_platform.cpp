#include "platform/commondialog.h"
#include "platform/msgbox.h"
#include "platform/paths.h"

#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void scriptedMessageBoxesRecordAndTakeTheDefaultButton();
    void commonDialogKeepsItsSettingsAndCancelEmptiesTheName();
    void dataFolderFollowsXdgDataHome();
};

void TestPlatform::scriptedMessageBoxesRecordAndTakeTheDefaultButton()
{
    ScriptedMessageBoxes boxes;
    boxes.queueAnswer(vbYes);
    const int question = vbYesNo | vbQuestion | vbDefaultButton2;
    QCOMPARE(MsgBox(QStringLiteral(" Sure?"), question, QStringLiteral("Delete")), int(vbYes));
    // With the queue empty, the default button answers: No here, never a blocked test.
    QCOMPARE(MsgBox(QStringLiteral(" Sure?"), question), int(vbNo));
    QCOMPARE(MsgBox(QStringLiteral("Done")), int(vbOK));
    QCOMPARE(boxes.shown().size(), 3);
    QCOMPARE(boxes.shown()[0].style, question);
    QCOMPARE(boxes.shown()[0].title, QStringLiteral("Delete"));
    QCOMPARE(boxes.shown()[2].title, QStringLiteral("Flaskbook"));
}

void TestPlatform::commonDialogKeepsItsSettingsAndCancelEmptiesTheName()
{
    QCOMPARE(qtNameFilters(QStringLiteral("Text Files|*.txt|GIF Images|*.GIF")),
             (QStringList{QStringLiteral("Text Files (*.txt *.TXT)"),
                          QStringLiteral("GIF Images (*.GIF *.gif)")}));
    ScriptedCommonDialogs dialogs;
    dialogs.queueAccept(QStringLiteral("/pictures/ethanol.gif"));
    dialogs.queueCancel();
    CommonDialog cd1;
    cd1.InitDir = QStringLiteral("/pictures");
    cd1.DialogTitle = QStringLiteral("Browse GIF Image File");
    QVERIFY(cd1.ShowOpen());
    QCOMPARE(cd1.FileName, QStringLiteral("/pictures/ethanol.gif"));
    QVERIFY(!cd1.ShowSave());
    QCOMPARE(cd1.FileName, QString());
    QCOMPARE(dialogs.shown()[1].kind, CommonDialog::Kind::Save);
    QCOMPARE(dialogs.shown()[1].title, QStringLiteral("Browse GIF Image File"));
}

void TestPlatform::dataFolderFollowsXdgDataHome()
{
    qputenv("XDG_DATA_HOME", "/tmp/flaskbook-xdg-test");
    const Paths paths = Paths::standard();
    QCOMPARE(paths.databaseFile(),
             QStringLiteral("/tmp/flaskbook-xdg-test/Flaskbook/Flaskbook.mdb"));
    QVERIFY(paths.backupFile().endsWith(QStringLiteral("/BackupFlaskbook/Flaskbook.mdb")));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
