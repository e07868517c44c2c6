#include "platform/commondialog.h"
#include "platform/filecopy.h"
#include "platform/msgbox.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void scriptedMessageBoxesRecordAndTakeTheDefaultButton();
    void commonDialogKeepsItsSettingsAndCancelEmptiesTheName();
    void dataFolderFollowsXdgDataHome();
    void copyReplacesTheTargetOnlyWhenComplete();
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

void TestPlatform::copyReplacesTheTargetOnlyWhenComplete()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString target = dir.filePath(QStringLiteral("target"));
    // Several pieces of the copy, the last one short.
    QByteArray bytes(9 * 1024 * 1024 + 7, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    for (const auto& [path, data] :
         {std::pair{source, bytes}, std::pair{target, QByteArray("old")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QList<QPair<qint64, qint64>> progress;
    QCOMPARE(CopyFile(source, target,
                      [&progress](qint64 copied, qint64 total) {
                          progress.append({copied, total});
                      }),
             QString());
    QFile copy(target);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll() == bytes);
    QCOMPARE(progress.first(), (QPair<qint64, qint64>(0, bytes.size())));
    QCOMPARE(progress.last(), (QPair<qint64, qint64>(bytes.size(), bytes.size())));
    for (int i = 1; i < progress.size(); ++i)
        QVERIFY(progress[i].first > progress[i - 1].first);

    // A source that is gone leaves the target as it was, and no half copy beside it.
    const QString failure = CopyFile(dir.filePath(QStringLiteral("gone")), target);
    QVERIFY2(failure.contains(dir.filePath(QStringLiteral("gone"))), qPrintable(failure));
    QCOMPARE(QFileInfo(target).size(), bytes.size());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"source", "target"}));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
