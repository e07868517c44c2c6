#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include <memory>

namespace {

const char* const kRecordBoxes[] = {"nametxt", "iupactxt",  "CAStxt",  "mfortxt", "mwttxt",
                                    "eqwttxt", "phyapptxt", "spgrtxt", "pHtxt",   "notetxt"};
const QString kCaption = QStringLiteral("Chemical Structure:  ");
const QString kEmptyName = QStringLiteral("   Please don't leave Chemical Name field empty");
const QString kDeleted = QStringLiteral("Your selected record has been deleted forever");

} // namespace

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

private:
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

QTEST_MAIN(TestForm1Editing)
#include "tst_form1_editing.moc"
