// The record list beside the real window: what it lists and counts through every change, and
// a chosen row becoming the main window's record.

#include "app/recordlistmodel.h"
#include "app/records/structuretables.h"
#include "chem/molecule.h"
#include "controls/textbox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

// A record with a name, CAS number and formula of its own, and nothing else to match.
QStringList chemical(QStringList record, const QString& cas, const QString& formula)
{
    record[1] = QString();
    record[2] = cas;
    record[3] = formula;
    return record;
}

} // namespace

class TestRecordList : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { ui_.reset(); }

    void listFollowsEveryChange_data();
    void listFollowsEveryChange();
    void chosenRowBecomesTheMainWindowsRecord();
    void readableByKeyboardAndScreenReader();
    void structureModeListsHitsOrSaysWhyNot();
    void structureIndexIsBuiltFirstAndStopsWhenClosed();

private:
    RecordList& list() { return *ui_->form().recordList(); }
    void filter(const QString& text) { list().filterBox()->setText(text); }
    QStringList listedNames();
    void giveBenzeneItsStructure();
    std::unique_ptr<FormDriver> ui_;
};

void TestRecordList::init()
{
    ui_ = std::make_unique<FormDriver>();
    ui_->open({chemical(ui_->recordWithPicture("Acetone", Qt::green), "67-64-1", "C3H6O"),
               chemical(sampleRecord("Benzene"), "71-43-2", "C6H6"),
               chemical(ui_->recordWithPicture("Chloroform", Qt::blue), "67-66-3", "CHCl3")});
    QTest::keyClick(&ui_->form(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(ui_->form().recordList() && list().isVisible());
}

// The names in the list once its filter has finished.
QStringList TestRecordList::listedNames()
{
    QStringList names;
    RecordListModel* model = ui_->form().recordListModel();
    if (model->isChecking())
        return {QStringLiteral("(searching)")};
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, RecordListModel::NameColumn).data().toString();
    return names;
}

void TestRecordList::listFollowsEveryChange_data()
{
    QTest::addColumn<QString>("filterText");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("count");
    using L = QStringList;
    QTest::newRow("nothing") << ""
                             << "" << L{"Acetone", "Benzene", "Chloroform"} << "3 of 3";
    QTest::newRow("filtered") << "ENZ"
                              << "" << L{"Benzene"} << "1 of 3";
    QTest::newRow("one letter") << "O"
                                << "" << L{"Acetone", "Chloroform"} << "2 of 3";
    QTest::newRow("added") << ""
                           << "add Dioxane" << L{"Acetone", "Benzene", "Chloroform", "DIOXANE"}
                           << "4 of 4";
    QTest::newRow("added, matching") << "oxa"
                                     << "add Dioxane" << L{"DIOXANE"} << "1 of 4";
    QTest::newRow("edited out of the filter") << "benz"
                                              << "edit Toluene" << L{} << "0 of 3";
    QTest::newRow("edited into the filter") << "tolu"
                                            << "edit Toluene" << L{"TOLUENE"} << "1 of 3";
    QTest::newRow("deleted") << ""
                             << "delete" << L{"Benzene", "Chloroform"} << "2 of 2";
    QTest::newRow("cleared") << ""
                             << "clear" << L{} << "0 of 0";
    QTest::newRow("cleared, filtered") << "one"
                                       << "clear" << L{} << "0 of 0";
    QTest::newRow("another program's row")
        << "FORM"
        << "another program" << L{"Chloroform", "Formamide"} << "2 of 4";
    QTest::newRow("sorted Z to A") << "o"
                                   << "sort" << L{"Chloroform", "Acetone"} << "2 of 3";
}

void TestRecordList::listFollowsEveryChange()
{
    QFETCH(QString, filterText);
    QFETCH(QString, change);
    QFETCH(QStringList, listed);
    QFETCH(QString, count);
    filter(filterText);
    QTRY_VERIFY(!listedNames().contains(QStringLiteral("(searching)")));

    if (change.startsWith(QLatin1String("add "))) {
        ui_->click("newbtn");
        ui_->type("nametxt", change.mid(4));
        ui_->click("updatebtn");
    } else if (change.startsWith(QLatin1String("edit "))) {
        ui_->click("nextbtn");
        QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("Benzene"));
        ui_->click("editbtn");
        QTest::keyClick(ui_->box("nametxt")->editor(), Qt::Key_A, Qt::ControlModifier);
        ui_->type("nametxt", change.mid(5));
        ui_->click("updatebtn");
    } else if (change == QLatin1String("delete")) {
        ui_->clickAnswering("deletebtn", vbYes);
    } else if (change == QLatin1String("clear")) {
        ui_->clickAnswering("cleardbbtn", vbYes);
    } else if (change == QLatin1String("another program")) {
        runAsAnotherProgram(ui_->databaseFile(),
                            "INSERT INTO DATA1(Name, CAS) VALUES('Formamide', '75-12-7')");
    } else if (change == QLatin1String("sort")) {
        ui_->click("sortdscbtn");
    }
    QTRY_COMPARE(listedNames(), listed);
    QCOMPARE(list().countLabel()->text(), count);
}

void TestRecordList::chosenRowBecomesTheMainWindowsRecord()
{
    filter(QStringLiteral("chloro"));
    QTRY_COMPARE(listedNames(), QStringList{"Chloroform"});
    QTableView* table = list().table();
    table->setCurrentIndex(table->model()->index(0, 1));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("Chloroform"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::blue).rgb());

    // While a record is edited the list shows, but the record stays.
    ui_->click("editbtn");
    filter(QString());
    QTRY_COMPARE(listedNames().size(), 3);
    table->setCurrentIndex(table->model()->index(0, 1));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("Chloroform"));
    QCOMPARE(ui_->recordNumber(), QStringLiteral("3"));
    ui_->click("updatebtn");

    // Browsing again, Enter on the selected row makes it current.
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("Acetone"));
    QCOMPARE(ui_->shownPictureColour(), QColor(Qt::green).rgb());
}

void TestRecordList::readableByKeyboardAndScreenReader()
{
    QLineEdit* box = list().filterBox();
    QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
             QStringLiteral("Filter"));
    const QStringList headers{
        "No.", "Chemical Name", "CAS Number", "Molecular Formula", "Molecular Weight", "Structure"};
    QAbstractItemModel* model = list().table()->model();
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), headers[column]);

    // Type, step down into the list, and the first match becomes the main window's record.
    list().activateWindow();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("ben"));
    QTRY_COMPARE(listedNames(), QStringList{"Benzene"});
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(list().focusWidget(), list().table());
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("Benzene"));
}

void TestRecordList::giveBenzeneItsStructure()
{
    Molecule benzene;
    QVERIFY(Molecule::fromText(QStringLiteral("c1ccccc1"), benzene).ok());
    runAsAnotherProgram(ui_->databaseFile(),
                        QByteArray("UPDATE DATA1 SET Structure='" + benzene.molBlock().toUtf8() +
                                   "' WHERE Name='Benzene'")
                            .constData());
}

void TestRecordList::structureModeListsHitsOrSaysWhyNot()
{
    giveBenzeneItsStructure();
    list().modeSwitch()->setCurrentIndex(RecordList::SubstructureMode);
    filter(QStringLiteral("c1ccccc1"));
    QTRY_COMPARE(listedNames(), QStringList{"Benzene"});
    QVERIFY(list().problemLabel()->isHidden());
    const QModelIndex drawing = list().table()->model()->index(0, RecordListModel::StructureColumn);
    drawing.data(Qt::DecorationRole);
    QTRY_VERIFY(!drawing.data(Qt::DecorationRole).value<QPixmap>().isNull());

    list().modeSwitch()->setCurrentIndex(RecordList::SubstructureMode);
    filter(QStringLiteral("C1CC("));
    QTRY_VERIFY(!ui_->form().recordListModel()->isChecking());
    QCOMPARE(ui_->form().recordListModel()->rowCount(), 0);
    QVERIFY(list().problemLabel()->isVisibleTo(&list()));
    QVERIFY(!list().problemLabel()->text().isEmpty());
    QCOMPARE(list().countLabel()->text(), QStringLiteral("0 of 3"));
}

// On a file without its structure index the list says how far the index has come; closing
// the list stops the build, and showing it again finishes it and lists the hits.
void TestRecordList::structureIndexIsBuiltFirstAndStopsWhenClosed()
{
    giveBenzeneItsStructure();
    runAsAnotherProgram(ui_->databaseFile(), dropStructureIndexSql().constData());
    RecordListModel* model = ui_->form().recordListModel();
    RecordListModel::StructureSearch search = model->structureSearch();
    // Builds stand for long ones until the list is closed: they end only when stopped.
    auto closed = std::make_shared<std::atomic<bool>>(false);
    auto waiting = std::make_shared<std::atomic<int>>(0);
    search.prepare = [build = search.prepare, closed, waiting](const QString& path,
                                                               JobProgress& progress) {
        if (*closed)
            return build(path, progress);
        ++*waiting;
        progress.total = 1000000;
        progress.done = 12000;
        while (!progress.cancelRequested)
            QThread::msleep(5);
        --*waiting;
        return Status();
    };
    model->setStructureSearch(search);

    list().modeSwitch()->setCurrentIndex(RecordList::SubstructureMode);
    filter(QStringLiteral("c1ccccc1"));
    QTRY_COMPARE(list().countLabel()->text(),
                 QStringLiteral("Indexing structures: 12,000 of 1,000,000"));
    *closed = true;
    list().close();
    QTRY_COMPARE(waiting->load(), 0);
    QVERIFY(!model->isChecking());
    ui_->form().openRecordList();
    QTRY_COMPARE(listedNames(), QStringList{"Benzene"});
    QCOMPARE(list().countLabel()->text(), QStringLiteral("1 of 3"));
}

QTEST_MAIN(TestRecordList)
#include "tst_recordlist.moc"
