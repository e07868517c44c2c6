#include "app/casnumber.h"
#include "controls/imagebox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <sqlite3.h>

#include <memory>

namespace {

const QString kAspirin = QStringLiteral("CC(=O)Oc1ccccc1C(=O)O aspirin");
const QString kCaffeine = QStringLiteral("Cn1cnc2c1c(=O)n(C)c(=O)n2C");
const QString kCaption = QStringLiteral("Chemical Structure:  ");

// The structures of the table, by name, as another program reads them.
QMap<QString, QString> storedStructures(const QString& path)
{
    QMap<QString, QString> structures;
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT Name, Structure FROM DATA1", -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        structures[QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)))] =
            QString::fromUtf8(text ? text : "");
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return structures;
}

void drop(ImageBox* box, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &dropped);
}

} // namespace

// A record's molecule on the real window: entered through Browse, paste and drop, drawn
// with its formula, kept with its record, refused with a message when it cannot be read.
class TestForm1Structure : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void casCheckDigit_data();
    void casCheckDigit();
    void structureEnteredThroughBrowsePasteAndDrop();
    void badStructureChangesNothing_data();
    void badStructureChangesNothing();
    void structureStaysWithItsRecord();
    void fileThatCannotTakeTheColumnShowsItsRecords();

private:
    ImageBox* pictureBox() const { return ui_->control<ImageBox>("chemstrimagebox"); }
    std::unique_ptr<FormDriver> ui_;
};

void TestForm1Structure::casCheckDigit_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("wrong");
    QTest::newRow("water") << "7732-18-5" << false;
    QTest::newRow("water, last digit wrong") << "7732-18-4" << true;
    QTest::newRow("ethanol") << "64-17-5" << false;
    QTest::newRow("aspirin") << "50-78-2" << false;
    QTest::newRow("caffeine") << "58-08-2" << false;
    // 9x1 + 8x2 + 7x3 + 6x4 + 5x5 + 4x6 + 3x7 + 2x8 + 1x9 = 165
    QTest::newRow("seven leading digits") << "1234567-89-5" << false;
    QTest::newRow("seven leading digits, wrong") << "1234567-89-4" << true;
    // Other text is not a CAS number, and not judged.
    QTest::newRow("no hyphens") << "7732185" << false;
    QTest::newRow("one leading digit") << "7-18-4" << false;
    QTest::newRow("trailing blank") << "7732-18-4 " << false;
}

void TestForm1Structure::casCheckDigit()
{
    QFETCH(QString, number);
    QFETCH(bool, wrong);
    QCOMPARE(casCheckDigitIsWrong(number), wrong);
}

void TestForm1Structure::structureEnteredThroughBrowsePasteAndDrop()
{
    QStringList aspirin = sampleRecord("ACETYLSALICYLIC ACID");
    aspirin[2] = aspirin[3] = aspirin[4] = QString();
    ui_->open({aspirin});
    const QString smiles = ui_->filePath(QStringLiteral("aspirin.smi"));
    writeFile(smiles, kAspirin.toUtf8() + "\nCCO ethanol\n");

    // Browse takes the first molecule of a SMILES file; empty formula and weight are filled.
    ui_->click("editbtn");
    ui_->type("CAStxt", QStringLiteral("50-78-3"));
    ui_->dialogs.queueAccept(smiles);
    ui_->click("browsebtn");
    QCOMPARE(ui_->shownText("mfortxt"), QStringLiteral("C9H8O4"));
    QCOMPARE(ui_->shownText("mwttxt"), QStringLiteral("180.16"));
    QCOMPARE(ui_->imageCaption(), kCaption + "C9H8O4");
    QVERIFY(!ui_->shownPicture().isNull());
    // A wrong check digit is pointed out, and the record saved all the same.
    ui_->boxes.clear();
    ui_->click("updatebtn");
    QCOMPARE(ui_->boxes.shown().size(), 1);
    QVERIFY(ui_->prompts()[0].contains("50-78-3"));
    QVERIFY(storedStructures(ui_->databaseFile())["ACETYLSALICYLIC ACID"].contains("M  END"));
    QCOMPARE(readTable(ui_->databaseFile())[0][2], QStringLiteral("50-78-3"));

    // Pasting replaces the structure; what the user typed in formula and weight stays.
    ui_->click("editbtn");
    ui_->box("mfortxt")->setText(QStringLiteral("typed"));
    ui_->box("mwttxt")->setText(QString());
    QGuiApplication::clipboard()->setText(kCaffeine);
    QTest::keyClick(pictureBox(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(ui_->imageCaption(), kCaption + "C8H10N4O2");
    QCOMPARE(ui_->shownText("mfortxt"), QStringLiteral("typed"));
    QCOMPARE(ui_->shownText("mwttxt"), QStringLiteral("194.19"));

    // A dropped picture replaces the structure, and the caption names the picture again.
    const QString gif = ui_->pictureFile(QStringLiteral("red.gif"), Qt::red);
    drop(pictureBox(), gif);
    QCOMPARE(ui_->imageCaption(), kCaption + gif);
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::red).rgb());
    ui_->click("updatebtn");
    QVERIFY(storedStructures(ui_->databaseFile())["ACETYLSALICYLIC ACID"].isEmpty());
    QCOMPARE(readTable(ui_->databaseFile())[0][10], gif);

    // While browsing, paste and drop change nothing.
    QGuiApplication::clipboard()->setText(kCaffeine);
    QTest::keyClick(pictureBox(), Qt::Key_V, Qt::ControlModifier);
    drop(pictureBox(), smiles);
    QCOMPARE(ui_->imageCaption(), kCaption + gif);
}

void TestForm1Structure::badStructureChangesNothing_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("named");
    QTest::newRow("unclosed ring") << QByteArray("C1CC") << "smi"
                                   << "";
    QTest::newRow("unclosed branch, position") << QByteArray("CC(C") << "smi"
                                               << "position";
    QTest::newRow("five bonds to a carbon") << QByteArray("CC(C)(C)(C)(C)C") << "smi"
                                            << "atom";
    QTest::newRow("empty file") << QByteArray() << "mol"
                                << "empty";
    QTest::newRow("binary file") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "mol"
                                 << "";
    QTest::newRow("broken counts line")
        << QByteArray("water\n  test\n\n  x  0  0  0  0  0  0  0  0999 V2000\nM  END\n") << "mol"
        << "line";
    QTest::newRow("no M  END")
        << QByteArray("water\n  test\n\n  1  0  0  0  0  0  0  0  0  0999 V2000\n"
                      "    0.0000    0.0000    0.0000 O   0  0  0  0  0  0  0  0  0  0  0  0\n")
        << "mol"
        << "";
    QTest::newRow("over 1,000 heavy atoms") << QByteArray(1001, 'C') << "smi"
                                            << "1,000";
}

// Each bad input gives a message that says what could not be read; the record and the
// file stay as they were.
void TestForm1Structure::badStructureChangesNothing()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, suffix);
    QFETCH(QString, named);
    ui_->openNamed({"ONE"});
    const QList<QStringList> before = readTable(ui_->databaseFile());
    const QString file = ui_->filePath("bad." + suffix);
    writeFile(file, contents);

    ui_->click("editbtn");
    ui_->dialogs.queueAccept(file);
    ui_->click("browsebtn");
    QCOMPARE(ui_->boxes.shown().size(), 1);
    QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Chemical Structure"));
    QVERIFY2(ui_->prompts()[0].contains(named, Qt::CaseInsensitive), qPrintable(ui_->prompts()[0]));
    if (suffix == "smi") {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(contents));
        QTest::keyClick(pictureBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(ui_->boxes.shown().size(), 2);
    }
    QVERIFY(ui_->shownText("mfortxt").isEmpty() || ui_->shownText("mfortxt") == before[0][3]);
    QCOMPARE(ui_->imageCaption(), kCaption + before[0][10]);
    ui_->click("updatebtn");
    QCOMPARE(readTable(ui_->databaseFile()), before);
    QVERIFY(storedStructures(ui_->databaseFile())["ONE"].isEmpty());
}

// The structure is in the record's own row: it survives VACUUM by another program, which
// may renumber rows, and follows its record through sort, search, delete, backup and clear.
void TestForm1Structure::structureStaysWithItsRecord()
{
    ui_->openNamed({"ZINC", "CAFFEINE", "ASPIRIN"});
    const auto giveStructure = [this](const QString& smiles) {
        ui_->click("editbtn");
        QGuiApplication::clipboard()->setText(smiles);
        QTest::keyClick(pictureBox(), Qt::Key_V, Qt::ControlModifier);
        ui_->click("updatebtn");
    };
    ui_->click("nextbtn");
    giveStructure(kCaffeine);
    ui_->click("nextbtn");
    giveStructure(kAspirin);
    // Another program deletes the first row and compacts the file.
    runAsAnotherProgram(ui_->databaseFile(), "DELETE FROM DATA1 WHERE Name='ZINC'; VACUUM");
    ui_->click("sortascbtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ASPIRIN"));
    QCOMPARE(ui_->imageCaption(), kCaption + "C9H8O4");
    ui_->box("searchtxt")->setText(QStringLiteral("caffeine"));
    ui_->click("searchbtn");
    QCOMPARE(ui_->imageCaption(), kCaption + "C8H10N4O2");

    ui_->boxes.queueAnswer(vbYes);
    ui_->click("backupbtn");
    QVERIFY(storedStructures(ui_->paths().backupFile())["CAFFEINE"].contains("M  END"));
    ui_->reopen();
    ui_->click("sortascbtn");
    ui_->clickAnswering("deletebtn", vbYes);
    QCOMPARE(storedStructures(ui_->databaseFile()).keys(), QStringList{"CAFFEINE"});
    QVERIFY(storedStructures(ui_->databaseFile())["CAFFEINE"].contains("M  END"));
    ui_->clickAnswering("cleardbbtn", vbYes);
    QVERIFY(storedStructures(ui_->databaseFile()).isEmpty());
    QCOMPARE(ui_->imageCaption(), kCaption);
}

// A file that lacks the structure column and cannot be given it (here another program
// holds its write lock) still shows its records; it only refuses structures, and says so.
void TestForm1Structure::fileThatCannotTakeTheColumnShowsItsRecords()
{
    createTestDatabase(ui_->databaseFile(), QStringList{"WATER"});
    // A file from before structures: no column, and so no structure index on it either.
    runAsAnotherProgram(ui_->databaseFile(), "DROP TRIGGER DATA1_structure_changed; "
                                             "ALTER TABLE DATA1 DROP COLUMN Structure");
    {
        sqlite3* other = nullptr;
        sqlite3_open(QFile::encodeName(ui_->databaseFile()).constData(), &other);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        ui_->reopen();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("WATER"));
    ui_->click("editbtn");
    QGuiApplication::clipboard()->setText(kCaffeine);
    QTest::keyClick(pictureBox(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(ui_->prompts().value(0).contains("cannot take structures"));
    QCOMPARE(ui_->imageCaption(), kCaption + readTable(ui_->databaseFile())[0][10]);
    ui_->click("updatebtn");
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"WATER"});
}

QTEST_MAIN(TestForm1Structure)
#include "tst_form1_structure.moc"
