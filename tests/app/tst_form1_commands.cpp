#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {

const QString kBackupQuestion = QStringLiteral(
    "After the backup of database, Flaskbook will restart. Are you sure to proceed? ");
const QString kClearWarning = QStringLiteral(
    "This action will DELETE the complete database FOREVER !!!. Please CANCEL this process and "
    "make a quick backup of currennt database.                 ARE YOU SURE, YOU WANT TO "
    "DELETE THE ENTIRE DATABASE?");
// The text block of sampleRecord("ONE"), as a user reads it in the file.
const QByteArray kBlockOfOne = "                        \r\n"
                               " Chemical Name :          ONE\r\n"
                               " IUPAC Name :             iupac ONE\r\n"
                               " CAS Registry Number :    cas-ONE\r\n"
                               " Molecular Formula :      formula ONE\r\n"
                               " Molecular Weight :       mw ONE\r\n"
                               " Equivalent Weight :      eq ONE\r\n"
                               " Physical Appearance :    appearance ONE\r\n"
                               " Specific Gravity :       spgr ONE\r\n"
                               " pH Value :               ph ONE\r\n"
                               " Special Note :           note ONE\r\n";

} // namespace

// Backup, Clear DB, Save As and Print on the real window.
class TestForm1Commands : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void backupCopiesAndRestarts_data();
    void backupCopiesAndRestarts();
    void clearEmptiesTheTableForGood();
    void clearDeclinedFailedOrOnAnEmptyTable();
    void saveAsAppendsTheShownRecord_data();
    void saveAsAppendsTheShownRecord();
    void saveAsWithoutANameOrToABadPath();
    void printWritesTheRecordAndPicture();

private:
    void openOneWithPicture(QStringList record = sampleRecord("ONE"));
    std::unique_ptr<FormDriver> ui_;
};

void TestForm1Commands::openOneWithPicture(QStringList record)
{
    record[10] = ui_->pictureFile("ONE.png", Qt::red);
    ui_->open({record, sampleRecord("TWO"), sampleRecord("THREE")});
}

void TestForm1Commands::backupCopiesAndRestarts_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("before");
    QTest::newRow("first backup") << QStringList{"ONE", "TWO"} << "";
    QTest::newRow("empty table") << QStringList() << "";
    QTest::newRow("replaces the last backup") << QStringList{"ONE"} << "old backup";
    QTest::newRow("plain file in the way") << QStringList{"ONE"} << "plain file";
    QTest::newRow("copy fails") << QStringList{"ONE"} << "old backup, database gone";
    QTest::newRow("companion missing") << QStringList{"ONE"} << "no companion";
}

void TestForm1Commands::backupCopiesAndRestarts()
{
    QFETCH(QStringList, names);
    QFETCH(QString, before);
    const Paths paths = ui_->paths();
    if (before == QLatin1String("plain file"))
        writeFile(paths.backupFolder, "not a folder");
    if (before.startsWith(QLatin1String("old backup"))) {
        QDir().mkpath(paths.backupFolder);
        writeFile(paths.backupFile(), "the last backup");
    }
    ui_->programs.failStarts(before == QLatin1String("no companion"));
    ui_->openNamed(names);
    // The window holds the file open; once it has closed it there is nothing to copy.
    const bool copyFails = before.endsWith(QLatin1String("database gone"));
    if (copyFails)
        QFile::remove(paths.databaseFile());
    if (names.isEmpty())
        ui_->boxes.queueAnswer(vbOK);
    ui_->boxes.queueAnswer(vbYes);
    ui_->click("backupbtn");

    QStringList prompts = ui_->prompts();
    if (names.isEmpty())
        QCOMPARE(
            prompts.takeFirst(),
            QStringLiteral("              Database is empty !!!                             "));
    QCOMPARE(prompts.takeFirst(), kBackupQuestion);
    if (copyFails) {
        QVERIFY2(prompts[0].contains(paths.databaseFile() + " cannot be read: No such file"),
                 qPrintable(prompts[0]));
        QCOMPARE(fileContents(paths.backupFile()), QByteArray("the last backup"));
    } else {
        QCOMPARE(prompts[0], "Database file has been saved to " + paths.backupFile());
        QCOMPARE(fileContents(paths.backupFile()), fileContents(paths.databaseFile()));
    }
    QCOMPARE(prompts.size(), before == QLatin1String("no companion") ? 2 : 1);
    // No half copy is left beside the backup, and the restart follows either way.
    QCOMPARE(QDir(paths.backupFolder).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Flaskbook.mdb"});
    QCOMPARE(ui_->programs.started(), QStringList{paths.programFolder + "/Restart"});
    QVERIFY(!ui_->form().isVisible());

    // Declined (No is the default button): nothing happens and the window stays.
    ui_->boxes.clear();
    ui_->openNamed({"ONE"});
    ui_->click("backupbtn");
    QCOMPARE(ui_->prompts(), QStringList{kBackupQuestion});
    QCOMPARE(ui_->programs.started().size(), 1);
    QVERIFY(ui_->form().isVisible());
}

void TestForm1Commands::clearEmptiesTheTableForGood()
{
    openOneWithPicture();
    QCOMPARE(ui_->clickAnswering("cleardbbtn", vbYes),
             (QStringList{kClearWarning, "Database has been deleted forever. Now you can start "
                                         "new database from scratch."}));
    for (const char* name : {"nametxt", "notetxt", "Text8"})
        QCOMPARE(ui_->shownText(name), QString());
    QVERIFY(ui_->shownPicture().isNull());
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(!fileContents(ui_->databaseFile()).contains("iupac THREE"));

    // No move finds a record, and nothing deleted or blanked is written back.
    ui_->click("nextbtn");
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    ui_->close();
    ui_->reopen();
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(readTable(ui_->databaseFile()).isEmpty());
}

void TestForm1Commands::clearDeclinedFailedOrOnAnEmptyTable()
{
    openOneWithPicture();
    ui_->boxes.queueAnswer(vbNo);
    ui_->click("cleardbbtn");
    ui_->boxes.queueAnswer(vbYes);
    {
        WriteLock lock(ui_->databaseFile());
        ui_->click("cleardbbtn");
    }
    QCOMPARE(ui_->prompts().size(), 3);
    QVERIFY2(ui_->prompts()[2].contains(QLatin1String("could not be deleted")) &&
                 ui_->prompts()[2].contains(QLatin1String("locked")),
             qPrintable(ui_->prompts()[2]));
    // The record is shown again as it is, and no blanked box reaches the file.
    QCOMPARE(ui_->shownText("notetxt"), QStringLiteral("note ONE"));
    QVERIFY(ui_->imageCaption().endsWith(QLatin1String("ONE.png")));
    ui_->close();
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ONE", "TWO", "THREE"}));
    QCOMPARE(readTable(ui_->databaseFile())[0][9], QStringLiteral("note ONE"));

    createTestDatabase(ui_->databaseFile(), QStringList());
    ui_->reopen();
    ui_->boxes.clear();
    ui_->click("cleardbbtn");
    QCOMPARE(ui_->prompts(),
             QStringList{"Database cannot be deleted because there is no record found !!!"});
}

void TestForm1Commands::saveAsAppendsTheShownRecord_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("text file") << "record.txt"
                               << "note ONE" << kBlockOfOne;
    QTest::newRow("Word name gets text") << "record.doc"
                                         << "note ONE" << kBlockOfOne;
    QTest::newRow("two-line note")
        << "record.txt"
        << "first\nsecond" << QByteArray(kBlockOfOne).replace("note ONE", "first\r\nsecond");
}

void TestForm1Commands::saveAsAppendsTheShownRecord()
{
    QFETCH(QString, fileName);
    QFETCH(QString, note);
    QFETCH(QByteArray, block);
    QStringList record = sampleRecord("ONE");
    record[9] = note;
    openOneWithPicture(record);
    for (int i = 0; i < 2; ++i) {
        ui_->dialogs.queueAccept(ui_->filePath(fileName));
        ui_->click("saveasbtn");
    }
    QCOMPARE(fileContents(ui_->filePath(fileName)), block + block);
    QCOMPARE(ui_->dialogs.shown()[0].filter, QStringLiteral("Text Files|*.txt|Word Files|*.doc"));
    QVERIFY(ui_->prompts().isEmpty());
}

void TestForm1Commands::saveAsWithoutANameOrToABadPath()
{
    ui_->openNamed({"ONE"});
    // Browse leaves the picture's name in the shared dialog; a cancelled save must not use it.
    const QString picture = ui_->pictureFile("chosen.png", Qt::blue);
    const QByteArray pictureBytes = fileContents(picture);
    ui_->click("editbtn");
    ui_->dialogs.queueAccept(picture);
    ui_->click("browsebtn");
    ui_->click("updatebtn");
    ui_->dialogs.queueCancel();
    ui_->click("saveasbtn");
    ui_->dialogs.queueAccept(QStringLiteral(" "));
    ui_->click("saveasbtn");
    QCOMPARE(fileContents(picture), pictureBytes);
    QVERIFY(ui_->prompts().isEmpty());

    const QString badPath = ui_->filePath("no such folder/record.txt");
    ui_->dialogs.queueAccept(badPath);
    ui_->click("saveasbtn");
    QCOMPARE(ui_->prompts().size(), 1);
    QVERIFY2(ui_->prompts()[0].contains(badPath + ".\n\nNo such file"),
             qPrintable(ui_->prompts()[0]));
}

void TestForm1Commands::printWritesTheRecordAndPicture()
{
    openOneWithPicture();
    const QString pdf = ui_->filePath("record.pdf");
    ui_->dialogs.queueCancel();
    ui_->click("printbtn");
    QVERIFY(!QFile::exists(pdf));
    ui_->dialogs.queueAccept(pdf);
    ui_->click("printbtn");
    QVERIFY(ui_->prompts().isEmpty());

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const QByteArray& line : kBlockOfOne.trimmed().split('\n')) {
        // Each label and its value; the page lays them out in two columns.
        const QList<QByteArray> parts = line.trimmed().split(':');
        QVERIFY2(printed.contains(QString::fromUtf8(parts[0].trimmed() + " :")) &&
                     printed.contains(QString::fromUtf8(parts[1].trimmed())),
                 qPrintable(line + " in " + printed));
    }
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    QVERIFY(images.waitForFinished());
    // The list's heading and rule, then one line for the one picture.
    QCOMPARE(images.readAllStandardOutput().trimmed().count('\n'), 2);
}

QTEST_MAIN(TestForm1Commands)
#include "tst_form1_commands.moc"
