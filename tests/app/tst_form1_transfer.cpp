#include "controls/imagebox.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"
#include "transfer/fieldmapping.h"
#include "windows/importmappingdialog.h"
#include "windows/importsummary.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

// Three molecules that read and one that does not (a carbon with five bonds).
const QByteArray kSmiles = "CCO ethanol\n"
                           "c1ccccc1 benzene\n"
                           "CC(C)(C)(C)(C)C pentavalent\n"
                           "CC(=O)O acetic acid\n";

QStringList menuTitles(const QMenuBar* bar)
{
    QStringList titles;
    for (const QAction* action : bar->actions())
        titles << action->text().remove(QLatin1Char('&'));
    return titles;
}

} // namespace

class TestForm1Transfer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void menuBarSitsAboveTheFormWithoutMovingIt_data();
    void menuBarSitsAboveTheFormWithoutMovingIt();
    void importAddsTheRecordsAndRemembersTheMapping();
    void droppedFileIsImported();
    void refusedWhileARecordIsOpen_data();
    void refusedWhileARecordIsOpen();
    void importBeyondTheLimitAsksFirst();
    void exportWritesTheFileAndSaysSo();

private:
    QString smilesFile() const;
    std::unique_ptr<FormDriver> ui_;
    QTemporaryDir config_;
};

void TestForm1Transfer::initTestCase()
{
    // The remembered mapping goes to a settings file of the test's own.
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
}

QString TestForm1Transfer::smilesFile() const
{
    const QString path = ui_->filePath(QStringLiteral("few.smi"));
    writeFile(path, kSmiles);
    return path;
}

void TestForm1Transfer::menuBarSitsAboveTheFormWithoutMovingIt_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("designed");
    // Places as designed in the form, before there was a menu bar.
    QTest::newRow("option") << "nameoptbtn" << QPoint(44, 8);
    QTest::newRow("search") << "searchbtn" << QPoint(16, 32);
    QTest::newRow("name box") << "nametxt" << QPoint(168, 64);
    QTest::newRow("about") << "aboutbtn" << QPoint(16, 400);
    QTest::newRow("next") << "nextbtn" << QPoint(520, 504);
    QTest::newRow("last") << "lastbtn" << QPoint(648, 544);
}

void TestForm1Transfer::menuBarSitsAboveTheFormWithoutMovingIt()
{
    QFETCH(QString, control);
    QFETCH(QPoint, designed);
    ui_->openNamed({QStringLiteral("ETHANOL")});
    Form1& form = ui_->form();
    const auto* bar = form.findChild<QMenuBar*>();
    QVERIFY(bar);
    QCOMPARE(menuTitles(bar), (QStringList{"File", "Edit", "Help"}));
    QVERIFY(form.editMenu());
    const int barHeight = form.menuBarHeight();
    QVERIFY(barHeight > 10);
    QCOMPARE(bar->geometry(), QRect(0, 0, 784, barHeight));
    QCOMPARE(form.size(), QSize(784, 629 + barHeight));

    const auto* widget = form.findChild<QWidget*>(control);
    QCOMPARE(widget->mapTo(&form, QPoint()), designed + QPoint(0, barHeight));
}

void TestForm1Transfer::importAddsTheRecordsAndRemembersTheMapping()
{
    ui_->openNamed({QStringLiteral("WATER"), QStringLiteral("SALT")});
    ScriptedImportMapping mapping;
    ScriptedImportSummaries summaries;
    const QString file = smilesFile();
    ui_->dialogs.queueAccept(file);
    // The name also goes to the IUPAC field, which the next import proposes by itself.
    mapping.queueAccept({{QStringLiteral("IUPAC"), smilesNameItem()}});
    ui_->form().mnuImport_Click();

    QCOMPARE(mapping.shown().size(), 1);
    const ImportMappingChoice shown = mapping.shown()[0];
    QCOMPARE(shown.preview.size(), 4);
    const QString nameItem = shown.itemForColumn.value(QStringLiteral("Name"));
    QVERIFY(!nameItem.isEmpty());
    QVERIFY(shown.items.contains(nameItem));
    QCOMPARE(summaries.shown().size(), 1);
    QCOMPARE(summaries.shown()[0].added, 3);
    QCOMPARE(summaries.shown()[0].skipped.size(), 1);
    QVERIFY2(summaries.shown()[0].skipped[0].startsWith(QStringLiteral("line 3:")),
             qPrintable(summaries.shown()[0].skipped[0]));
    // The window shows the table again from its first record, with the new total.
    QCOMPARE(ui_->form().recordTotalAtActivation(), 5);
    QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
    QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("WATER"));
    QCOMPARE(readNames(ui_->databaseFile()),
             (QStringList{"WATER", "SALT", "ETHANOL", "BENZENE", "ACETIC ACID"}));
    QCOMPARE(readTable(ui_->databaseFile())[2][1], QStringLiteral("ethanol"));
    QCOMPARE(ui_->prompts(), QStringList());

    // The mapping chosen is proposed for the next file of the kind, kept in the settings.
    QVERIFY(QFileInfo::exists(config_.filePath(QStringLiteral("Flaskbook/Flaskbook.ini"))));
    ui_->dialogs.queueAccept(file);
    mapping.queueCancel();
    ui_->form().mnuImport_Click();
    QCOMPARE(mapping.shown().size(), 2);
    QHash<QString, QString> chosen = shown.itemForColumn;
    chosen.insert(QStringLiteral("IUPAC"), smilesNameItem());
    QCOMPARE(mapping.shown()[1].itemForColumn, chosen);
    QCOMPARE(summaries.shown().size(), 1);
    QCOMPARE(readNames(ui_->databaseFile()).size(), 5);
}

void TestForm1Transfer::droppedFileIsImported()
{
    ui_->openNamed({QStringLiteral("WATER")});
    ScriptedImportMapping mapping;
    ScriptedImportSummaries summaries;
    mapping.queueAccept();
    mapping.queueAccept();
    Form1& form = ui_->form();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(smilesFile())});
    const auto drop = [&](QWidget* target, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QTest::qWait(50);
    };
    // On the picture box, while browsing, the file is no structure of a record: nothing.
    auto* picture = form.findChild<ImageBox*>(QStringLiteral("chemstrimagebox"));
    drop(&form, picture->mapTo(&form, QPoint(5, 5)));
    QCOMPARE(summaries.shown().size(), 0);
    drop(&form, QPoint(400, form.menuBarHeight() + 600));
    QTRY_COMPARE(summaries.shown().size(), 1);
    QCOMPARE(readNames(ui_->databaseFile()).size(), 4);
    QCOMPARE(form.recordTotalAtActivation(), 4);
}

void TestForm1Transfer::refusedWhileARecordIsOpen_data()
{
    QTest::addColumn<QString>("openedBy");
    QTest::addColumn<bool>("import");
    QTest::newRow("import while editing") << "editbtn" << true;
    QTest::newRow("import while entering") << "newbtn" << true;
    QTest::newRow("export while editing") << "editbtn" << false;
}

void TestForm1Transfer::refusedWhileARecordIsOpen()
{
    QFETCH(QString, openedBy);
    QFETCH(bool, import);
    ui_->openNamed({QStringLiteral("WATER")});
    ui_->click(qPrintable(openedBy));
    ui_->dialogs.queueAccept(smilesFile());
    if (import)
        ui_->form().mnuImport_Click();
    else
        ui_->form().mnuExport_Click();
    QCOMPARE(ui_->prompts().size(), 1);
    QVERIFY(ui_->prompts()[0].contains(QStringLiteral("save it with Update")));
    QVERIFY(ui_->dialogs.shown().isEmpty());
    QCOMPARE(readNames(ui_->databaseFile()), QStringList{"WATER"});
}

// Two places left: the user is told that one record of three would not fit, and chooses.
void TestForm1Transfer::importBeyondTheLimitAsksFirst()
{
    createLargeTestDatabase(ui_->databaseFile(), 999998);
    ui_->reopen();
    ScriptedImportMapping mapping;
    ScriptedImportSummaries summaries;
    const QString file = ui_->filePath(QStringLiteral("three.smi"));
    writeFile(file, "CCO ethanol\nC methane\nO water\n");
    for (const int answer : {vbNo, vbYes}) {
        ui_->boxes.clear();
        ui_->dialogs.queueAccept(file);
        mapping.queueAccept();
        ui_->boxes.queueAnswer(answer);
        ui_->form().mnuImport_Click();
        QCOMPARE(ui_->prompts().size(), 1);
        QVERIFY2(ui_->prompts()[0].contains(QStringLiteral("room for only 2 more")) &&
                     ui_->prompts()[0].contains(QStringLiteral("1 records would not fit")),
                 qPrintable(ui_->prompts()[0]));
    }
    QCOMPARE(summaries.shown().size(), 1);
    QCOMPARE(summaries.shown()[0].added, 2);
    QCOMPARE(ui_->form().recordTotalAtActivation(), 1000000);
}

void TestForm1Transfer::exportWritesTheFileAndSaysSo()
{
    ui_->openNamed({QStringLiteral("WATER"), QStringLiteral("SALT")});
    const QString target = ui_->filePath(QStringLiteral("out.csv"));
    ui_->dialogs.queueAccept(target);
    ui_->form().mnuExport_Click();
    QCOMPARE(ui_->prompts().size(), 1);
    QVERIFY2(ui_->prompts()[0].startsWith(QStringLiteral("2 records exported to")),
             qPrintable(ui_->prompts()[0]));
    const QList<QByteArray> lines = fileContents(target).trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[1].startsWith("WATER"));

    // An existing file is replaced only on the user's word.
    ui_->boxes.clear();
    writeFile(target, "keep me");
    ui_->dialogs.queueAccept(target);
    ui_->boxes.queueAnswer(vbNo);
    ui_->form().mnuExport_Click();
    QCOMPARE(fileContents(target), QByteArray("keep me"));
}

QTEST_MAIN(TestForm1Transfer)
#include "tst_form1_transfer.moc"
