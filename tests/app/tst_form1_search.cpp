#include "controls/button/paintedbutton.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

const QString kNoRecord = QStringLiteral(" No record found for this specific Search   ");
const QString kAscending = QStringLiteral("Order : A to Z");
const QString kDescending = QStringLiteral("Order : Z to A ");

} // namespace

class TestForm1Search : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void searchFindsByEachField_data();
    void searchFindsByEachField();
    void enterSearchesOnlyWhileBrowsing();
    void searchWhileEnteringANewRecord();
    void firstOfDuplicatesInTheOrderInForce_data();
    void firstOfDuplicatesInTheOrderInForce();
    void sortShowsRecordOneAndSwitchesTheLabel();
    void laterCommandsFollowTheDescendingOrder();
    void sortOnAnEmptyTable();
    void unloadablePictureAfterSearchOrSort();

private:
    void search(const char* option, const QString& text);
    QString shownOrderLabel() const;
    std::unique_ptr<FormDriver> ui_;
};

void TestForm1Search::search(const char* option, const QString& text)
{
    ui_->control<QRadioButton>(option)->setChecked(true);
    ui_->box("searchtxt")->setText(text);
    ui_->click("searchbtn");
}

QString TestForm1Search::shownOrderLabel() const
{
    QString shown;
    for (const char* name : {"Label18", "Label19", "Label20"}) {
        if (ui_->control<QLabel>(name)->isVisible())
            shown += ui_->control<QLabel>(name)->text();
    }
    return shown;
}

void TestForm1Search::searchFindsByEachField_data()
{
    QTest::addColumn<QByteArray>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    QTest::newRow("name, lower case") << QByteArray("nameoptbtn") << "ethanol"
                                      << "ETHANOL";
    QTest::newRow("name with an apostrophe") << QByteArray("nameoptbtn") << "n,n'-dimethylurea"
                                             << "N,N'-DIMETHYLUREA";
    QTest::newRow("IUPAC") << QByteArray("iupacoptbtn") << "IUPAC ACETONE"
                           << "ACETONE";
    QTest::newRow("CAS") << QByteArray("CASoptbtn") << "cas-ETHANOL"
                         << "ETHANOL";
    QTest::newRow("formula") << QByteArray("mforoptbtn") << "formula N,N'-DIMETHYLUREA"
                             << "N,N'-DIMETHYLUREA";
    QTest::newRow("molecular weight") << QByteArray("mwtoptbtn") << "mw acetone"
                                      << "ACETONE";
    QTest::newRow("equivalent weight") << QByteArray("eqwtoptbtn") << "eq ETHANOL "
                                       << "ETHANOL";
    QTest::newRow("specific gravity") << QByteArray("spgroptbtn") << "spgr acetone"
                                      << "ACETONE";
    QTest::newRow("miss: part of a name") << QByteArray("nameoptbtn") << "ETHAN"
                                          << "";
    QTest::newRow("miss: empty box") << QByteArray("nameoptbtn") << ""
                                     << "";
    QTest::newRow("miss: quote in a query") << QByteArray("nameoptbtn") << "X' OR '1'='1"
                                            << "";
}

void TestForm1Search::searchFindsByEachField()
{
    QFETCH(QByteArray, option);
    QFETCH(QString, text);
    QFETCH(QString, found);
    QList<QStringList> records;
    for (const char* name : {"ACETONE", "ETHANOL", "N,N'-DIMETHYLUREA"}) {
        records.append(sampleRecord(name));
        records.last()[10] = ui_->pictureFile(QString(name).left(3) + ".png", Qt::darkGreen);
    }
    records[0][10] = ui_->pictureFile("acetone.png", Qt::red);
    ui_->open(records);
    ui_->click("lastbtn");
    ui_->boxes.clear();
    search(option.constData(), text);
    // A miss says so and leaves the last record on screen.
    QCOMPARE(ui_->prompts(), found.isEmpty() ? QStringList{kNoRecord} : QStringList());
    if (found.isEmpty()) {
        QCOMPARE(ui_->boxes.shown()[0].title, QStringLiteral("Flaskbook Search Result"));
        QCOMPARE(ui_->boxes.shown()[0].style, int(vbOKOnly | vbInformation));
    }
    const int place =
        found.isEmpty() ? 2 : QStringList{"ACETONE", "ETHANOL", "N,N'-DIMETHYLUREA"}.indexOf(found);
    QCOMPARE(ui_->shownText("nametxt"), records[place][0]);
    QCOMPARE(ui_->recordNumber(), QString::number(place + 1));
    QCOMPARE(ui_->imageCaption(), QStringLiteral("Chemical Structure:  ") + records[place][10]);
    QCOMPARE(ui_->shownPictureColour(), QColor(place == 0 ? Qt::red : Qt::darkGreen).rgb());
    // The search text stays in the box.
    QCOMPARE(ui_->shownText("searchtxt"), text);
}

void TestForm1Search::enterSearchesOnlyWhileBrowsing()
{
    ui_->openNamed({"ACETONE", "ETHANOL"});
    ui_->type("searchtxt", QStringLiteral("ethanol"));
    QTest::keyClick(ui_->box("searchtxt")->editor(), Qt::Key_Return);
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ETHANOL"));
    QCOMPARE(ui_->shownText("searchtxt"), QStringLiteral("ethanol"));

    // While editing Next is disabled, and Enter does nothing.
    ui_->click("firstbtn");
    ui_->click("editbtn");
    ui_->boxes.clear();
    QTest::keyClick(ui_->box("searchtxt")->editor(), Qt::Key_Return);
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ACETONE"));
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(ui_->form().Data1.Recordset().EditMode(), 1);
}

void TestForm1Search::searchWhileEnteringANewRecord()
{
    ui_->openNamed({"ACETONE", "BENZENE"});
    ui_->click("nextbtn");
    ui_->click("newbtn");
    QVERIFY(ui_->button("searchbtn")->isEnabled());
    ui_->type("nametxt", QStringLiteral("newchem"));
    // The miss saves the new record and leaves it on screen, so Delete removes that one.
    search("nameoptbtn", QStringLiteral("ABSENT"));
    QCOMPARE(ui_->prompts(), QStringList{kNoRecord});
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("NEWCHEM"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    ui_->click("updatebtn");
    ui_->boxes.queueAnswer(vbYes);
    ui_->click("deletebtn");
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ACETONE", "BENZENE"}));

    // A hit from the new-record state saves the record and shows the one found.
    ui_->click("firstbtn");
    ui_->click("newbtn");
    ui_->type("nametxt", QStringLiteral("second"));
    search("nameoptbtn", QStringLiteral("acetone"));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ACETONE"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ACETONE", "BENZENE", "SECOND"}));
}

void TestForm1Search::firstOfDuplicatesInTheOrderInForce_data()
{
    QTest::addColumn<QByteArray>("sortButton");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("number");
    QTest::newRow("table order") << QByteArray() << "iupac second"
                                 << "2";
    QTest::newRow("A to Z") << QByteArray("sortascbtn") << "iupac second"
                            << "2";
    QTest::newRow("Z to A") << QByteArray("sortdscbtn") << "iupac fourth"
                            << "2";
}

void TestForm1Search::firstOfDuplicatesInTheOrderInForce()
{
    QFETCH(QByteArray, sortButton);
    QFETCH(QString, found);
    QFETCH(QString, number);
    QList<QStringList> records{sampleRecord("ZINC"), sampleRecord("ETHANOL"),
                               sampleRecord("ACETONE"), sampleRecord("ETHANOL")};
    records[1][1] = QStringLiteral("iupac second");
    records[3][1] = QStringLiteral("iupac fourth");
    ui_->open(records);
    if (!sortButton.isEmpty())
        ui_->click(sortButton.constData());
    search("nameoptbtn", QStringLiteral("Ethanol"));
    QCOMPARE(ui_->shownText("iupactxt"), found);
    QCOMPARE(ui_->recordNumber(), number);
}

void TestForm1Search::sortShowsRecordOneAndSwitchesTheLabel()
{
    ui_->openNamed({"MU", "ALPHA", "ZETA", "BETA"});
    QCOMPARE(shownOrderLabel(), QStringLiteral("Order : Un-Sorted"));
    ui_->click("lastbtn");
    ui_->box("searchtxt")->setText(QStringLiteral("x"));
    ui_->boxes.clear();
    ui_->click("sortascbtn");
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ALPHA"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    QCOMPARE(shownOrderLabel(), kAscending);
    QVERIFY(ui_->shownText("searchtxt").isEmpty());
    ui_->click("nextbtn");
    ui_->click("sortascbtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ALPHA"));
    ui_->click("sortdscbtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ZETA"));
    QCOMPARE(shownOrderLabel(), kDescending);
}

void TestForm1Search::laterCommandsFollowTheDescendingOrder()
{
    ui_->openNamed({"MU", "ALPHA", "ZETA", "BETA"});
    ui_->click("sortdscbtn");
    QStringList walked{ui_->shownText("nametxt")};
    for (int i = 0; i < 3; ++i) {
        ui_->click("nextbtn");
        walked.append(ui_->shownText("nametxt"));
    }
    QCOMPARE(walked, (QStringList{"ZETA", "MU", "BETA", "ALPHA"}));

    ui_->click("firstbtn");
    ui_->click("nextbtn");
    ui_->boxes.queueAnswer(vbYes);
    ui_->click("deletebtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("BETA"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("2"));
    QCOMPARE(readNames(ui_->databaseFile()), (QStringList{"ALPHA", "ZETA", "BETA"}));
}

void TestForm1Search::sortOnAnEmptyTable()
{
    ui_->open({});
    ui_->click("sortdscbtn");
    QVERIFY(ui_->prompts().isEmpty());
    QCOMPARE(shownOrderLabel(), kDescending);
    QCOMPARE(ui_->recordNumber(), QStringLiteral("0"));
    QCOMPARE(ui_->shownText("nametxt"), QString());
    QCOMPARE(ui_->form().Data1.Recordset().AbsolutePosition(), -1);
}

void TestForm1Search::unloadablePictureAfterSearchOrSort()
{
    QList<QStringList> records{sampleRecord("ZETA"), sampleRecord("ALPHA")};
    records[0][10] = ui_->pictureFile("zeta.png", Qt::red);
    records[1][10] = ui_->filePath(QStringLiteral("missing.gif"));
    ui_->open(records);
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::red).rgb());
    search("nameoptbtn", QStringLiteral("alpha"));
    QVERIFY(ui_->shownPicture().isNull());
    QVERIFY(!ui_->pictureNotice().isEmpty());

    ui_->click("sortdscbtn");
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::red).rgb());
    ui_->click("sortascbtn");
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ALPHA"));
    QVERIFY(ui_->shownPicture().isNull());
    QVERIFY(!ui_->pictureNotice().isEmpty());
}

QTEST_MAIN(TestForm1Search)
#include "tst_form1_search.moc"
