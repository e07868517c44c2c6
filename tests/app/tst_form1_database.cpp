#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {

const QString kEmpty =
    QStringLiteral("              Database is empty !!!                             ");
const QString kBackupQuestion = QStringLiteral(
    "After the backup of database, Flaskbook will restart. Are you sure to proceed? ");
const QString kClearWarning = QStringLiteral(
    "This action will DELETE the complete database FOREVER !!!. Please CANCEL this process and "
    "make a quick backup of currennt database.                 ARE YOU SURE, YOU WANT TO "
    "DELETE THE ENTIRE DATABASE?");
const QString kCleared = QStringLiteral(
    "Database has been deleted forever. Now you can start new database from scratch.");
const QString kNothingToClear =
    QStringLiteral("Database cannot be deleted because there is no record found !!!");
const QString kCaption = QStringLiteral("Chemical Structure:  ");
const int kQuestion = vbYesNo | vbQuestion | vbDefaultButton2;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestForm1Database : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void backupCopiesTheDatabaseAndRestarts_data();
    void backupCopiesTheDatabaseAndRestarts();
    void backupDeclinedChangesNothing();
    void failedCopyKeepsThePreviousBackup();

    void clearEmptiesTheTableForGood();
    void clearDeclinedOrOnAnEmptyTable();
    void failedClearIsReportedAndKeepsTheRecords();

private:
    QList<QStringList> recordsWithPictures(const QStringList& names);
    std::unique_ptr<FormDriver> ui_;
};

QList<QStringList> TestForm1Database::recordsWithPictures(const QStringList& names)
{
    QList<QStringList> records;
    for (const QString& name : names) {
        records.append(sampleRecord(name));
        records.last()[10] = ui_->pictureFile(name + ".png", Qt::red);
    }
    return records;
}

void TestForm1Database::backupCopiesTheDatabaseAndRestarts_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("inTheWay");
    QTest::addColumn<bool>("restartFails");
    QTest::newRow("first backup") << QStringList{"ONE", "TWO", "THREE"} << "" << false;
    QTest::newRow("empty table") << QStringList() << "" << false;
    QTest::newRow("replaces the last backup") << QStringList{"ONE"} << "old backup" << false;
    QTest::newRow("plain file in the way") << QStringList{"ONE"} << "plain file" << false;
    QTest::newRow("companion missing") << QStringList{"ONE"} << "" << true;
}

void TestForm1Database::backupCopiesTheDatabaseAndRestarts()
{
    QFETCH(QStringList, names);
    QFETCH(QString, inTheWay);
    QFETCH(bool, restartFails);
    const Paths paths = ui_->paths();
    if (inTheWay == QLatin1String("plain file")) {
        write(paths.backupFolder, "not a folder");
    } else if (inTheWay == QLatin1String("old backup")) {
        QDir().mkpath(paths.backupFolder);
        write(paths.backupFile(), "the last backup");
    }
    ui_->programs.failStarts(restartFails);
    ui_->openNamed(names);
    if (names.isEmpty())
        ui_->boxes.queueAnswer(vbOK);
    ui_->boxes.queueAnswer(vbYes);
    ui_->click("backupbtn");

    QStringList expected{kBackupQuestion,
                         QStringLiteral("Database file has been saved to ") + paths.backupFile()};
    if (names.isEmpty())
        expected.prepend(kEmpty);
    QStringList shown = ui_->prompts();
    if (restartFails) {
        QVERIFY(shown.takeLast().startsWith(QLatin1String("Flaskbook cannot restart by itself")));
    }
    QCOMPARE(shown, expected);
    const ShownMessageBox& question = ui_->boxes.shown()[names.isEmpty() ? 1 : 0];
    QCOMPARE(question.style, kQuestion);
    QCOMPARE(question.title, QStringLiteral("Backup and Restart Flaskbook"));
    // The copy is the closed file byte for byte, and nothing else is left in the folder.
    QCOMPARE(contents(paths.backupFile()), contents(paths.databaseFile()));
    QCOMPARE(readNames(paths.backupFile()), names);
    QCOMPARE(QDir(paths.backupFolder).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Flaskbook.mdb"});
    QCOMPARE(ui_->programs.started(), QStringList{paths.programFolder + "/Restart"});
    QVERIFY(!ui_->form().isVisible());
    QVERIFY(!ui_->form().Data1.Database().isOpen());
}

void TestForm1Database::backupDeclinedChangesNothing()
{
    ui_->openNamed({"ONE", "TWO"});
    ui_->click("nextbtn");
    ui_->boxes.clear();
    // No answer queued: the default button, No, answers.
    ui_->click("backupbtn");
    QCOMPARE(ui_->prompts(), QStringList{kBackupQuestion});
    QVERIFY(!QFileInfo::exists(ui_->paths().backupFolder));
    QVERIFY(ui_->programs.started().isEmpty());
    QVERIFY(ui_->form().isVisible());
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("TWO"));
    ui_->click("previousbtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ONE"));
}

void TestForm1Database::failedCopyKeepsThePreviousBackup()
{
    const Paths paths = ui_->paths();
    QDir().mkpath(paths.backupFolder);
    write(paths.backupFile(), "the last backup");
    ui_->openNamed({"ONE"});
    // The window still has the file open; once it closes it, there is nothing to copy.
    QVERIFY(QFile::remove(paths.databaseFile()));
    ui_->boxes.queueAnswer(vbYes);
    ui_->click("backupbtn");

    QCOMPARE(ui_->prompts().size(), 2);
    const QString failure = ui_->prompts()[1];
    QVERIFY2(failure.contains(QLatin1String("could not be saved")) &&
                 failure.contains(paths.databaseFile()) &&
                 failure.contains(QLatin1String("No such file")),
             qPrintable(failure));
    QCOMPARE(ui_->boxes.shown()[1].style, int(vbOKOnly | vbExclamation));
    QCOMPARE(contents(paths.backupFile()), QByteArray("the last backup"));
    QCOMPARE(QDir(paths.backupFolder).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Flaskbook.mdb"});
    // The restart follows all the same.
    QCOMPARE(ui_->programs.started().size(), 1);
    QVERIFY(!ui_->form().isVisible());
}

void TestForm1Database::clearEmptiesTheTableForGood()
{
    const QStringList names{"ONE", "TWO", "THREE", "FOUR", "FIVE"};
    ui_->open(recordsWithPictures(names));
    ui_->click("nextbtn");
    ui_->click("nextbtn");
    ui_->boxes.clear();
    ui_->boxes.queueAnswer(vbYes);
    ui_->click("cleardbbtn");

    QCOMPARE(ui_->prompts(), (QStringList{kClearWarning, kCleared}));
    QCOMPARE(ui_->boxes.shown()[0].style, kQuestion);
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("CAUTION : Delete Entire Database !!!"));
    QCOMPARE(ui_->boxes.shown()[1].title, QStringLiteral("Database Deletion Message"));
    QVERIFY(!ui_->button("browsebtn")->isEnabled());
    for (const char* name : {"nametxt", "CAStxt", "notetxt", "Text8"})
        QCOMPARE(ui_->shownText(name), QString());
    QVERIFY(ui_->shownPicture().isNull());
    QCOMPARE(ui_->imageCaption(), kCaption);
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(readTable(ui_->databaseFile()).isEmpty());
    // The deleted records cannot be read from the file either.
    QVERIFY(!contents(ui_->databaseFile()).contains("iupac THREE"));

    // Moves find no record, and nothing deleted or blanked is written back.
    ui_->boxes.clear();
    ui_->click("nextbtn");
    ui_->click("firstbtn");
    QCOMPARE(ui_->prompts(),
             (QStringList{QStringLiteral(" This is the last record of database"),
                          QStringLiteral(" This is the first record of database")}));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    ui_->close();
    QVERIFY(readTable(ui_->databaseFile()).isEmpty());

    ui_->boxes.clear();
    ui_->reopen();
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(ui_->shownPicture().isNull());
    QVERIFY(ui_->prompts().isEmpty());

    // New records can be entered into the emptied table.
    ui_->click("newbtn");
    ui_->type("nametxt", QStringLiteral("water"));
    ui_->click("updatebtn");
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"WATER"});
}

void TestForm1Database::clearDeclinedOrOnAnEmptyTable()
{
    ui_->open(recordsWithPictures({"ONE", "TWO"}));
    ui_->click("nextbtn");
    ui_->boxes.clear();
    ui_->click("cleardbbtn");
    QCOMPARE(ui_->prompts(), QStringList{kClearWarning});
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ONE", "TWO"}));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("TWO"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    QVERIFY(!ui_->shownPicture().isNull());

    ui_->close();
    ui_->boxes.clear();
    createTestDatabase(ui_->databaseFile(), QStringList());
    ui_->reopen();
    ui_->click("cleardbbtn");
    QCOMPARE(ui_->prompts(), QStringList{kNothingToClear});
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Database Empty Message"));
}

void TestForm1Database::failedClearIsReportedAndKeepsTheRecords()
{
    ui_->open(recordsWithPictures({"ONE", "TWO"}));
    ui_->boxes.queueAnswer(vbYes);
    {
        WriteLock lock(ui_->databaseFile());
        QVERIFY(lock.locked());
        ui_->click("cleardbbtn");
    }
    QCOMPARE(ui_->prompts().size(), 2);
    QVERIFY(!ui_->prompts().contains(kCleared));
    QVERIFY2(ui_->prompts()[1].contains(QLatin1String("locked")), qPrintable(ui_->prompts()[1]));
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ONE", "TWO"}));
    // The record is shown again as it is, and no blanked box reaches the file.
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ONE"));
    QCOMPARE(ui_->shownText("notetxt"), QStringLiteral("note ONE"));
    QVERIFY(!ui_->shownPicture().isNull());
    ui_->click("nextbtn");
    ui_->close();
    QCOMPARE(readTable(ui_->databaseFile())[0].mid(0, 10), sampleRecord("ONE").mid(0, 10));
}

QTEST_MAIN(TestForm1Database)
#include "tst_form1_database.moc"
