#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {

const char* const kRecordBoxes[] = {"nametxt", "iupactxt",  "CAStxt",  "mfortxt", "mwttxt",
                                    "eqwttxt", "phyapptxt", "spgrtxt", "pHtxt",   "notetxt"};
const QString kCaption = QStringLiteral("Chemical Structure:  ");
const QString kEmptyName = QStringLiteral("   Please don't leave Chemical Name field empty");
const QString kDeleted = QStringLiteral("Your selected record has been deleted forever");

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

// Editing, deletion, Backup, Clear DB, Save As and Print on the real window.
class TestForm1Editing : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void commandsSetTheStateTables_data();
    void commandsSetTheStateTables();
    void newAndEditAreSavedByUpdateAtOnce();
    void updateWithNothingChangedAddsNothing();
    void newAndEditOnAnEmptyTable();
    void emptyNameIsReportedButBlanksAreNot();

    void keyFiltersShapeTypedText_data();
    void keyFiltersShapeTypedText();
    void pasteIsNotFilteredButCutToTheLimit();

    void browseSetsThePicturePath();

    void deleteShowsTheFollowingRecord_data();
    void deleteShowsTheFollowingRecord();
    void deleteAnsweredNoOrOnAnEmptyTable();
    void failedDeleteIsReportedAndKeepsTheRecord();

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
    void checkButtons(const QStringList& enabled, const QStringList& disabled);
    std::unique_ptr<FormDriver> ui_;
};

void TestForm1Editing::checkButtons(const QStringList& enabled, const QStringList& disabled)
{
    for (const QString& name : enabled)
        QVERIFY2(ui_->button(qPrintable(name))->isEnabled(), qPrintable(name + " enabled"));
    for (const QString& name : disabled)
        QVERIFY2(!ui_->button(qPrintable(name))->isEnabled(), qPrintable(name + " disabled"));
}

void TestForm1Editing::commandsSetTheStateTables_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("modeLabel");
    const QStringList all{"nextbtn",    "previousbtn", "firstbtn",   "lastbtn",   "editbtn",
                          "deletebtn",  "newbtn",      "printbtn",   "saveasbtn", "sortascbtn",
                          "sortdscbtn", "backupbtn",   "cleardbbtn", "helpbtn",   "aboutbtn"};
    QTest::newRow("New") << QStringList{"newbtn"}
                         << QStringList{"updatebtn", "browsebtn", "searchbtn"}
                         << (all + QStringList{"undobtn"}) << false << "Label17";
    QTest::newRow("Edit") << QStringList{"editbtn"} << QStringList{"updatebtn", "browsebtn"}
                          << (all + QStringList{"undobtn", "searchbtn"}) << false << "Label9";
    QTest::newRow("New, Update") << QStringList{"newbtn", "updatebtn"}
                                 << (all + QStringList{"searchbtn"})
                                 << QStringList{"updatebtn", "browsebtn", "undobtn"} << true
                                 << "Label10";
    QTest::newRow("Edit, Update") << QStringList{"editbtn", "updatebtn"}
                                  << (all + QStringList{"searchbtn"})
                                  << QStringList{"updatebtn", "browsebtn", "undobtn"} << true
                                  << "Label10";
}

void TestForm1Editing::commandsSetTheStateTables()
{
    QFETCH(QStringList, commands);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QFETCH(bool, locked);
    QFETCH(QString, modeLabel);
    ui_->openNamed({"ONE", "TWO"});
    ui_->box("searchtxt")->setText(QStringLiteral("typed"));
    for (const QString& command : commands)
        ui_->click(qPrintable(command));

    checkButtons(enabled, disabled);
    const quint32 colour = locked ? 0xFFFFFF : 0xC0FFFF;
    for (const char* name : kRecordBoxes) {
        QCOMPARE(ui_->box(name)->Locked(), locked);
        QCOMPARE(ui_->box(name)->BackColor(), colour);
    }
    for (const char* label : {"Label9", "Label10", "Label17"})
        QCOMPARE(ui_->control<QLabel>(label)->isVisible(), modeLabel == QLatin1String(label));
    // Edit empties and locks the search box, Update empties and unlocks it, New leaves it.
    const bool edited = commands.first() == QLatin1String("editbtn");
    QCOMPARE(ui_->shownText("searchtxt").isEmpty(), edited || commands.size() > 1);
    QCOMPARE(ui_->box("searchtxt")->Locked(), edited && commands.size() == 1);
    // An untouched new record is dropped and the current record shown again, name and all.
    QVERIFY(ui_->prompts().isEmpty());
}

void TestForm1Editing::newAndEditAreSavedByUpdateAtOnce()
{
    ui_->openNamed({"ONE", "TWO"});
    ui_->click("newbtn");
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    QCOMPARE(ui_->shownText("nametxt"), QString());
    ui_->type("nametxt", QStringLiteral("ethanol"));
    ui_->type("CAStxt", QStringLiteral("64-17-5"));
    ui_->click("updatebtn");
    // In the file before any move.
    QList<QStringList> rows = readTable(ui_->databaseFile());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[2].mid(0, 3), (QStringList{"ETHANOL", "", "64-17-5"}));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));

    // New right after Update keeps both records.
    ui_->click("newbtn");
    QCOMPARE(ui_->shownText("nametxt"), QString());
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    ui_->type("nametxt", QStringLiteral("SECOND NEW"));
    ui_->click("updatebtn");

    ui_->click("firstbtn");
    ui_->click("nextbtn");
    ui_->click("editbtn");
    ui_->type("mfortxt", QStringLiteral(" H2O"));
    ui_->click("updatebtn");
    rows = readTable(ui_->databaseFile());
    QCOMPARE(rows[1].mid(0, 4), (QStringList{"TWO", "iupac TWO", "cas-TWO", "formula TWO H2O"}));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));

    // And all of it still there for the next run of the program.
    ui_->close();
    ui_->reopen();
    QCOMPARE(ui_->form().recordTotal, 4);
    QCOMPARE(readTable(ui_->databaseFile()), rows);
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ONE", "TWO", "ETHANOL", "SECOND NEW"}));
}

// New or Edit followed by Update with nothing typed adds and changes nothing, and leaves the
// shown record current, so a Delete removes that one.
void TestForm1Editing::updateWithNothingChangedAddsNothing()
{
    const QList<QStringList> records{sampleRecord("ACETONE"),
                                     ui_->recordWithPicture("BENZENE", Qt::blue)};
    ui_->open(records);
    ui_->click("nextbtn");
    ui_->click("newbtn");
    QVERIFY(ui_->shownPicture().isNull());
    QCOMPARE(ui_->imageCaption(), kCaption);
    ui_->click("updatebtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("BENZENE"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::blue).rgb());
    QCOMPARE(ui_->imageCaption(), kCaption + records[1][10]);
    ui_->click("editbtn");
    ui_->click("updatebtn");
    ui_->click("firstbtn");
    QCOMPARE(readTable(ui_->databaseFile()), records);

    ui_->click("nextbtn");
    ui_->click("newbtn");
    ui_->click("updatebtn");
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"ACETONE"});
}

void TestForm1Editing::newAndEditOnAnEmptyTable()
{
    ui_->open({});
    ui_->click("editbtn");
    QVERIFY(!ui_->box("nametxt")->Locked());
    QVERIFY(ui_->control<QLabel>("Label9")->isVisible());
    ui_->click("updatebtn");
    QVERIFY(ui_->prompts().isEmpty() || ui_->prompts() == QStringList{kEmptyName});
    QCOMPARE(readTable(ui_->databaseFile()).size(), 0);

    ui_->click("newbtn");
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    ui_->type("nametxt", QStringLiteral("WATER"));
    ui_->click("updatebtn");
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"WATER"});
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
}

void TestForm1Editing::emptyNameIsReportedButBlanksAreNot()
{
    ui_->openNamed({"ONE"});
    ui_->click("newbtn");
    ui_->type("iupactxt", QStringLiteral("oxidane"));
    ui_->click("updatebtn");
    QCOMPARE(ui_->prompts(), QStringList{kEmptyName});
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral(" Record Save Error "));
    QCOMPARE(ui_->boxes.shown()[0].style, int(vbOKOnly));
    QVERIFY(ui_->box("nametxt")->Locked());
    QCOMPARE(readTable(ui_->databaseFile()).size(), 2);

    ui_->boxes.clear();
    ui_->click("newbtn");
    ui_->type("nametxt", QStringLiteral("  "));
    ui_->click("updatebtn");
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(readNames(ui_->databaseFile()).last(), QStringLiteral("  "));
}

void TestForm1Editing::keyFiltersShapeTypedText_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("name upper-cased") << QByteArray("nametxt") << "a-1 b"
                                      << "A-1 B";
    QTest::newRow("weight refuses minus, letters, comma and blank")
        << QByteArray("mwttxt") << "-x, 12.5"
        << "12.5";
    QTest::newRow("weight as a fraction") << QByteArray("eqwttxt") << "1/2"
                                          << "1/2";
    QTest::newRow("CAS refuses letters and blanks") << QByteArray("CAStxt") << "CAS 64-17-5"
                                                    << "64-17-5";
    QTest::newRow("other boxes take anything") << QByteArray("mfortxt") << "c2h6o, x"
                                               << "c2h6o, x";
}

void TestForm1Editing::keyFiltersShapeTypedText()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ui_->openNamed({"ONE"});
    ui_->click("newbtn");
    ui_->type(box.constData(), typed);
    QCOMPARE(ui_->shownText(box.constData()), shown);
}

void TestForm1Editing::pasteIsNotFilteredButCutToTheLimit()
{
    ui_->openNamed({"ONE"});
    ui_->click("newbtn");
    QGuiApplication::clipboard()->setText(QStringLiteral("lower case ") + QString(300, 'x'));
    QTest::keyClick(ui_->box("nametxt")->editor(), Qt::Key_V, Qt::ControlModifier);
    const QString pasted = ui_->shownText("nametxt");
    QCOMPARE(pasted.size(), 255);
    QVERIFY(pasted.startsWith(QLatin1String("lower case x")));
    // The weight boxes discard the paste key itself.
    QTest::keyClick(ui_->box("mwttxt")->editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(ui_->shownText("mwttxt"), QString());
}

void TestForm1Editing::browseSetsThePicturePath()
{
    QList<QStringList> records{sampleRecord("ONE"), ui_->recordWithPicture("TWO", Qt::blue)};
    ui_->open(records);
    const QString red = ui_->pictureFile("red.gif", Qt::red);
    const QString notAPicture = ui_->filePath(QStringLiteral("notes.gif"));
    writeFile(notAPicture, "not a picture");

    // Chosen: the path and the picture follow, and the path is saved with the record.
    ui_->click("editbtn");
    ui_->box("searchtxt")->setText(QStringLiteral("x"));
    ui_->dialogs.queueAccept(red);
    ui_->click("browsebtn");
    QCOMPARE(ui_->dialogs.shown().value(0).initDir, ui_->paths().dataFolder);
    QVERIFY(ui_->shownText("searchtxt").isEmpty());
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::red).rgb());
    QCOMPARE(ui_->imageCaption(), kCaption + red);
    ui_->click("updatebtn");
    QCOMPARE(readTable(ui_->databaseFile())[0][10], red);

    // Cancelled on another record: its own path stays.
    ui_->click("nextbtn");
    ui_->click("editbtn");
    ui_->dialogs.queueCancel();
    ui_->click("browsebtn");
    QCOMPARE(ui_->imageCaption(), kCaption + records[1][10]);
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::blue).rgb());

    // Not a picture: path and caption change, and the old picture is not left beside them.
    ui_->dialogs.queueAccept(notAPicture);
    ui_->click("browsebtn");
    QCOMPARE(ui_->imageCaption(), kCaption + notAPicture);
    QVERIFY(ui_->shownPicture().isNull());
    QVERIFY(ui_->pictureNotice().contains(QStringLiteral("not a picture")));
    ui_->click("updatebtn");
    QCOMPARE(readTable(ui_->databaseFile())[1][10], notAPicture);
}

void TestForm1Editing::deleteShowsTheFollowingRecord_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<QString>("numberAfter");
    QTest::newRow("middle") << QStringList{"ONE", "TWO", "THREE"} << 2 << "THREE"
                            << "2";
    QTest::newRow("last") << QStringList{"ONE", "TWO", "THREE"} << 3 << ""
                          << "0";
    // The move after deleting the only record fails, so no new number is shown.
    QTest::newRow("only") << QStringList{"ONE"} << 1 << ""
                          << "1";
}

void TestForm1Editing::deleteShowsTheFollowingRecord()
{
    QFETCH(QStringList, names);
    QFETCH(int, deleted);
    QFETCH(QString, shownAfter);
    QFETCH(QString, numberAfter);
    QList<QStringList> records;
    for (const QString& name : names)
        records.append(ui_->recordWithPicture(name, Qt::red));
    ui_->open(records);
    for (int i = 1; i < deleted; ++i)
        ui_->click("nextbtn");
    QCOMPARE(
        ui_->clickAnswering("deletebtn", vbYes),
        (QStringList{QStringLiteral(" Are you sure, you want to delete this record?"), kDeleted}));
    QCOMPARE(ui_->boxes.shown()[0].style, int(vbYesNo | vbQuestion | vbDefaultButton2));
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Delete Current Record"));
    names.removeAt(deleted - 1);
    QCOMPARE(readNames(ui_->databaseFile()), names);
    QCOMPARE(ui_->shownText("nametxt"), shownAfter);
    QCOMPARE(ui_->recordNumber(), numberAfter);
    if (shownAfter.isEmpty()) {
        QCOMPARE(ui_->imageCaption(), kCaption);
        QVERIFY(ui_->shownPicture().isNull());
    }
    // No blanked box was written into a record that stays.
    for (const QStringList& row : readTable(ui_->databaseFile()))
        QCOMPARE(row.mid(0, 10), sampleRecord(row[0]).mid(0, 10));
}

void TestForm1Editing::deleteAnsweredNoOrOnAnEmptyTable()
{
    ui_->openNamed({"ONE"});
    QCOMPARE(ui_->clickAnswering("deletebtn", vbNo).size(), 1);
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"ONE"});
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ONE"));

    ui_->close();
    ui_->boxes.clear();
    createTestDatabase(ui_->databaseFile(), QStringList());
    ui_->reopen();
    ui_->click("deletebtn");
    QCOMPARE(ui_->prompts(),
             QStringList{QStringLiteral(
                 "              Database is empty !!!                             ")});
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Database Empty Message"));
}

void TestForm1Editing::failedDeleteIsReportedAndKeepsTheRecord()
{
    ui_->openNamed({"ONE", "TWO"});
    ui_->form().Data1.Database().setBusyTimeout(50);
    ui_->boxes.queueAnswer(vbYes);
    {
        WriteLock lock(ui_->databaseFile());
        ui_->click("deletebtn");
    }
    QCOMPARE(ui_->prompts().size(), 2);
    QVERIFY(!ui_->prompts().contains(kDeleted));
    QVERIFY(ui_->prompts()[1].contains(QLatin1String("could not be deleted")));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ONE"));
    QCOMPARE(ui_->shownText("CAStxt"), QStringLiteral("cas-ONE"));
    ui_->click("nextbtn");
    ui_->click("previousbtn");
    QCOMPARE(readTable(ui_->databaseFile())[0], sampleRecord("ONE"));
}

void TestForm1Editing::openOneWithPicture(QStringList record)
{
    record[10] = ui_->pictureFile("ONE.png", Qt::red);
    ui_->open({record, sampleRecord("TWO"), sampleRecord("THREE")});
}

void TestForm1Editing::backupCopiesAndRestarts_data()
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

void TestForm1Editing::backupCopiesAndRestarts()
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

void TestForm1Editing::clearEmptiesTheTableForGood()
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

void TestForm1Editing::clearDeclinedFailedOrOnAnEmptyTable()
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

void TestForm1Editing::saveAsAppendsTheShownRecord_data()
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

void TestForm1Editing::saveAsAppendsTheShownRecord()
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

void TestForm1Editing::saveAsWithoutANameOrToABadPath()
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

void TestForm1Editing::printWritesTheRecordAndPicture()
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

QTEST_MAIN(TestForm1Editing)
#include "tst_form1_editing.moc"
