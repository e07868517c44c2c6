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

    void commandsSetTheStateTables();
    void newAndEditAreSavedByUpdateAtOnce();
    void escapePutsTheRecordBack_data();
    void escapePutsTheRecordBack();
    void closingWhileEditingAsks_data();
    void closingWhileEditingAsks();
    void browseAndSaveAs();
    void deleteShowsTheFollowingRecord();
    void backupCopiesAndRestarts_data();
    void backupCopiesAndRestarts();
    void clearEmptiesTheTableForGood();
    void printWritesTheRecordAndPicture();

private:
    std::unique_ptr<FormDriver> ui_;
};

// The buttons, boxes and mode label after New, Edit and Update. With nothing typed, Update
// adds and changes nothing and leaves the shown record current, so a Delete removes that one.
// New that cannot open a record says so and stays browsing, so nothing typed is lost.
void TestForm1Editing::commandsSetTheStateTables()
{
    const QList<QStringList> records{sampleRecord("ACETONE"),
                                     ui_->recordWithPicture("BENZENE", Qt::blue)};
    ui_->open(records);
    ui_->click("nextbtn");
    const auto check = [this](const QStringList& enabled, const QStringList& disabled, bool locked,
                              const char* modeLabel) {
        for (const QString& name : enabled)
            QVERIFY2(ui_->button(qPrintable(name))->isEnabled(), qPrintable(name + " enabled"));
        for (const QString& name : disabled)
            QVERIFY2(!ui_->button(qPrintable(name))->isEnabled(), qPrintable(name + " disabled"));
        for (const char* name : kRecordBoxes) {
            QCOMPARE(ui_->box(name)->Locked(), locked);
            QCOMPARE(ui_->box(name)->BackColor(), locked ? 0xFFFFFFu : 0xC0FFFFu);
        }
        for (const char* label : {"Label9", "Label10", "Label17"})
            QCOMPARE(ui_->control<QLabel>(label)->isVisible(), qstrcmp(label, modeLabel) == 0);
    };
    const QStringList all{"nextbtn",    "previousbtn", "firstbtn",   "lastbtn",   "editbtn",
                          "deletebtn",  "newbtn",      "printbtn",   "saveasbtn", "sortascbtn",
                          "sortdscbtn", "backupbtn",   "cleardbbtn", "helpbtn",   "aboutbtn"};
    const QStringList browsing = all + QStringList{"searchbtn"};
    const QStringList updated{"updatebtn", "browsebtn", "undobtn"};

    // New leaves the search box as it is, and shows no picture.
    ui_->box("searchtxt")->setText(QStringLiteral("typed"));
    ui_->click("newbtn");
    check({"updatebtn", "browsebtn", "searchbtn"}, all + QStringList{"undobtn"}, false, "Label17");
    QCOMPARE(ui_->shownText("searchtxt"), QStringLiteral("typed"));
    QVERIFY(ui_->shownPicture().isNull());
    QCOMPARE(ui_->imageCaption(), kCaption);
    // Update empties the search box; the untouched new record is dropped, the empty name
    // the user left is reported, and the record before it is shown again, picture and all.
    ui_->click("updatebtn");
    check(browsing, updated, true, "Label10");
    QVERIFY(ui_->shownText("searchtxt").isEmpty());
    QCOMPARE(ui_->prompts(), QStringList{kEmptyName});
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("BENZENE"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::blue).rgb());
    QCOMPARE(ui_->imageCaption(), kCaption + records[1][10]);
    // Edit empties and locks the search box, Update unlocks it.
    ui_->box("searchtxt")->setText(QStringLiteral("typed"));
    ui_->click("editbtn");
    check({"updatebtn", "browsebtn"}, all + QStringList{"undobtn", "searchbtn"}, false, "Label9");
    QVERIFY(ui_->shownText("searchtxt").isEmpty());
    QVERIFY(ui_->box("searchtxt")->Locked());
    ui_->click("updatebtn");
    check(browsing, updated, true, "Label10");
    QVERIFY(!ui_->box("searchtxt")->Locked());
    QCOMPARE(readTable(ui_->databaseFile()), records);
    // After New and Update again, Delete removes the record shown.
    ui_->click("newbtn");
    ui_->click("updatebtn");
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"ACETONE"});

    // Another program holds the file: New says why and the window stays browsing.
    ui_->click("firstbtn");
    ui_->form().dataControl().Database().setBusyTimeout(50);
    ui_->boxes.clear();
    {
        WriteLock lock(ui_->databaseFile());
        QVERIFY(lock.locked());
        ui_->click("newbtn");
    }
    QCOMPARE(ui_->boxes.shown().size(), 1);
    QVERIFY2(ui_->prompts()[0].contains("locked by another program"),
             qPrintable(ui_->prompts()[0]));
    check(browsing, updated, true, "Label10");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ACETONE"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
}

void TestForm1Editing::newAndEditAreSavedByUpdateAtOnce()
{
    ui_->openNamed({"ONE", "TWO"});
    // Typed through the key filters: the name upper-cased, the weights take digits, '.' and
    // '/', the CAS box also '-', the other boxes anything.
    ui_->click("newbtn");
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    ui_->type("nametxt", QStringLiteral("a-1 b"));
    ui_->type("CAStxt", QStringLiteral("CAS 64-17-5"));
    ui_->type("mfortxt", QStringLiteral("c2h6o, x"));
    ui_->type("mwttxt", QStringLiteral("-x, 12.5"));
    ui_->type("eqwttxt", QStringLiteral("1/2"));
    ui_->click("updatebtn");
    // In the file before any move.
    QList<QStringList> rows = readTable(ui_->databaseFile());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[2].mid(0, 6), (QStringList{"A-1 B", "", "64-17-5", "c2h6o, x", "12.5", "1/2"}));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));

    // New right after Update keeps both records. A paste is not filtered but cut to the
    // limit; the weight boxes discard the paste key itself.
    ui_->click("newbtn");
    QCOMPARE(ui_->shownText("nametxt"), QString());
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    const QString pasted = QStringLiteral("lower case ") + QString(300, 'x');
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(ui_->box("nametxt")->editor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(ui_->box("mwttxt")->editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(ui_->shownText("mwttxt"), QString());
    ui_->click("updatebtn");

    // An edit is saved the same way.
    ui_->click("firstbtn");
    ui_->click("nextbtn");
    ui_->click("editbtn");
    ui_->type("mfortxt", QStringLiteral(" H2O"));
    ui_->click("updatebtn");
    rows = readTable(ui_->databaseFile());
    QCOMPARE(rows[1].mid(0, 4), (QStringList{"TWO", "iupac TWO", "cas-TWO", "formula TWO H2O"}));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));

    // An empty name is saved but reported; a name of blanks is not.
    ui_->boxes.clear();
    ui_->click("newbtn");
    ui_->type("iupactxt", QStringLiteral("oxidane"));
    ui_->click("updatebtn");
    QCOMPARE(ui_->prompts(), QStringList{kEmptyName});
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral(" Record Save Error "));
    QCOMPARE(ui_->boxes.shown()[0].style, int(vbOKOnly));
    QVERIFY(ui_->box("nametxt")->Locked());
    ui_->boxes.clear();
    ui_->click("newbtn");
    ui_->type("nametxt", QStringLiteral("  "));
    ui_->click("updatebtn");
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(readTable(ui_->databaseFile())[1], rows[1]);
    QCOMPARE(readNames(ui_->databaseFile()),
             (QStringList{"ONE", "TWO", "A-1 B", pasted.left(255), "", "  "}));
}

void TestForm1Editing::escapePutsTheRecordBack_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("edit") << QByteArray("editbtn");
    QTest::newRow("new record") << QByteArray("newbtn");
}

// Escape after Edit or New returns to browsing on the record as stored, its picture too;
// nothing typed reaches the file, and closing afterwards asks nothing.
void TestForm1Editing::escapePutsTheRecordBack()
{
    QFETCH(QByteArray, command);
    const QList<QStringList> records{ui_->recordWithPicture("ONE", Qt::red),
                                     ui_->recordWithPicture("TWO", Qt::blue)};
    ui_->open(records);
    ui_->click("nextbtn");
    ui_->click(command.constData());
    ui_->type("nametxt", QStringLiteral("typed"));
    ui_->dialogs.queueAccept(ui_->pictureFile(QStringLiteral("green.png"), Qt::green));
    ui_->click("browsebtn");
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::green).rgb());

    QTest::keyClick(ui_->box("nametxt")->editor(), Qt::Key_Escape);
    QVERIFY(ui_->control<QLabel>("Label10")->isVisible());
    QVERIFY(ui_->box("nametxt")->Locked());
    QVERIFY(!ui_->box("searchtxt")->Locked());
    QVERIFY(ui_->button("editbtn")->isEnabled());
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("TWO"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::blue).rgb());
    QCOMPARE(ui_->imageCaption(), kCaption + records[1][10]);
    QVERIFY(ui_->form().close());
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(readTable(ui_->databaseFile()), records);
}

void TestForm1Editing::closingWhileEditingAsks_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("namesAfter");
    const QStringList unchanged{"ONE", "TWO"};
    QTest::newRow("edit, save") << QByteArray("editbtn") << int(vbYes)
                                << QStringList{"ONE", "TYPEDTWO"};
    QTest::newRow("edit, discard") << QByteArray("editbtn") << int(vbNo) << unchanged;
    QTest::newRow("edit, cancel") << QByteArray("editbtn") << int(vbCancel) << unchanged;
    QTest::newRow("new, save") << QByteArray("newbtn") << int(vbYes)
                               << QStringList{"ONE", "TWO", "TYPED"};
    QTest::newRow("new, discard") << QByteArray("newbtn") << int(vbNo) << unchanged;
    QTest::newRow("new, cancel") << QByteArray("newbtn") << int(vbCancel) << unchanged;
}

// Closing while a record is edited or entered saves it only when the user says Save;
// Cancel keeps the window open with everything typed.
void TestForm1Editing::closingWhileEditingAsks()
{
    QFETCH(QByteArray, command);
    QFETCH(int, answer);
    QFETCH(QStringList, namesAfter);
    ui_->openNamed({"ONE", "TWO"});
    ui_->click("nextbtn");
    ui_->click(command.constData());
    ui_->type("nametxt", QStringLiteral("typed"));
    ui_->boxes.queueAnswer(answer);

    QCOMPARE(ui_->form().close(), answer != vbCancel);
    QCOMPARE(ui_->prompts(), QStringList{"Save the changes to this record?"});
    QCOMPARE(ui_->boxes.shown()[0].style, int(vbSaveDiscardCancel | vbQuestion));
    QCOMPARE(readNames(ui_->databaseFile()), namesAfter);
    if (answer == vbCancel) {
        QVERIFY(ui_->form().isVisible());
        QVERIFY(!ui_->box("nametxt")->Locked());
        QVERIFY(ui_->shownText("nametxt").startsWith(QLatin1String("TYPED")));
    }
}

// Browse sets the picture path. Save As appends the shown record to a text file, and never
// writes to the picture whose name Browse left in the shared dialog.
void TestForm1Editing::browseAndSaveAs()
{
    QList<QStringList> records{sampleRecord("ONE"), ui_->recordWithPicture("TWO", Qt::blue)};
    records[1][9] = QStringLiteral("first\nsecond");
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

    // Save As cancelled, or given a blank name, writes nothing.
    ui_->dialogs.queueCancel();
    ui_->click("saveasbtn");
    ui_->dialogs.queueAccept(QStringLiteral(" "));
    ui_->click("saveasbtn");
    QCOMPARE(fileContents(notAPicture), QByteArray("not a picture"));
    // Saved twice into one file, the record is there twice; a Word name still gets text.
    const QByteArray block =
        QByteArray(kBlockOfOne).replace("ONE", "TWO").replace("note TWO", "first\r\nsecond");
    for (const char* name : {"record.txt", "record.txt", "record.doc"}) {
        ui_->dialogs.queueAccept(ui_->filePath(name));
        ui_->click("saveasbtn");
    }
    QCOMPARE(fileContents(ui_->filePath("record.txt")), block + block);
    QCOMPARE(fileContents(ui_->filePath("record.doc")), block);
    QCOMPARE(ui_->dialogs.shown().last().filter,
             QStringLiteral("Text Files|*.txt|Word Files|*.doc"));
    QVERIFY(ui_->prompts().isEmpty());
    // A path that cannot be written is reported with the reason.
    const QString badPath = ui_->filePath("no such folder/record.txt");
    ui_->dialogs.queueAccept(badPath);
    ui_->click("saveasbtn");
    QCOMPARE(ui_->prompts().size(), 1);
    QVERIFY2(ui_->prompts()[0].contains(badPath + ".\n\nNo such file"),
             qPrintable(ui_->prompts()[0]));
}

void TestForm1Editing::deleteShowsTheFollowingRecord()
{
    ui_->open({ui_->recordWithPicture("ONE", Qt::red), ui_->recordWithPicture("TWO", Qt::red),
               ui_->recordWithPicture("THREE", Qt::red)});
    const QList<QStringList> records = readTable(ui_->databaseFile());
    // A delete that fails is reported and keeps the record, on screen and in the file.
    ui_->form().dataControl().Database().setBusyTimeout(50);
    ui_->boxes.queueAnswer(vbYes);
    {
        WriteLock lock(ui_->databaseFile());
        ui_->click("deletebtn");
    }
    QCOMPARE(ui_->prompts().size(), 2);
    QVERIFY(ui_->prompts()[1].contains(QLatin1String("could not be deleted")));
    QCOMPARE(ui_->shownText("CAStxt"), QStringLiteral("cas-ONE"));
    // Answered No, nothing is deleted; the move after it writes no blanked box back.
    QCOMPARE(ui_->clickAnswering("deletebtn", vbNo).size(), 1);
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ONE"));
    ui_->click("nextbtn");
    QCOMPARE(readTable(ui_->databaseFile()), records);

    // A middle record: the one that follows takes its place.
    QCOMPARE(
        ui_->clickAnswering("deletebtn", vbYes),
        (QStringList{QStringLiteral(" Are you sure, you want to delete this record?"), kDeleted}));
    QCOMPARE(ui_->boxes.shown()[0].style, int(vbYesNo | vbQuestion | vbDefaultButton2));
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Delete Current Record"));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("THREE"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    // The last record: nothing follows, so nothing is shown.
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(ui_->shownText("nametxt"), QString());
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QCOMPARE(ui_->imageCaption(), kCaption);
    QVERIFY(ui_->shownPicture().isNull());
    QCOMPARE(readTable(ui_->databaseFile()), records.mid(0, 1));
    // The only record: no record is left to be current, so the number reads 0.
    ui_->click("firstbtn");
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(ui_->shownText("nametxt"), QString());
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(readTable(ui_->databaseFile()).isEmpty());
    // Then there is nothing to delete.
    ui_->boxes.clear();
    ui_->click("deletebtn");
    QCOMPARE(ui_->prompts(),
             QStringList{QStringLiteral(
                 "              Database is empty !!!                             ")});
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Database Empty Message"));
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
        QCOMPARE(prompts[0], "The database could not be saved to " + paths.backupFile() +
                                 ".\n\nThe database " + paths.databaseFile() +
                                 " cannot be read. The file does not exist.\n\nThe previous "
                                 "backup, if there is one, is unchanged.");
        QCOMPARE(fileContents(paths.backupFile()), QByteArray("the last backup"));
    } else {
        QCOMPARE(prompts[0], "Database file has been saved to " + paths.backupFile());
        QCOMPARE(readNames(paths.backupFile()), names);
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
    ui_->open({ui_->recordWithPicture("ONE", Qt::red), sampleRecord("TWO"), sampleRecord("THREE")});
    // Declined, then failing on a locked file: the record is shown again as it is, and no
    // blanked box reaches the file.
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
    QCOMPARE(ui_->shownText("notetxt"), QStringLiteral("note ONE"));
    QVERIFY(ui_->imageCaption().endsWith(QLatin1String("ONE.png")));
    ui_->close();
    QCOMPARE(readTable(ui_->databaseFile())[0][9], QStringLiteral("note ONE"));
    ui_->reopen();

    // Confirmed: the table is emptied for good, and no move finds a record.
    QCOMPARE(ui_->clickAnswering("cleardbbtn", vbYes),
             (QStringList{kClearWarning, "Database has been deleted forever. Now you can start "
                                         "new database from scratch."}));
    for (const char* name : {"nametxt", "notetxt", "Text8"})
        QCOMPARE(ui_->shownText(name), QString());
    QVERIFY(ui_->shownPicture().isNull());
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(!fileContents(ui_->databaseFile()).contains("iupac THREE"));
    ui_->click("nextbtn");
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    ui_->close();
    ui_->reopen();
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QVERIFY(readTable(ui_->databaseFile()).isEmpty());
    // Then there is nothing to clear.
    ui_->boxes.clear();
    ui_->click("cleardbbtn");
    QCOMPARE(ui_->prompts(),
             QStringList{"Database cannot be deleted because there is no record found !!!"});
}

void TestForm1Editing::printWritesTheRecordAndPicture()
{
    ui_->open({ui_->recordWithPicture("ONE", Qt::red)});
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
