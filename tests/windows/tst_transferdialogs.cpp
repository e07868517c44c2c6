#include "platform/commondialog.h"
#include "platform/msgbox.h"
#include "windows/importmappingdialog.h"
#include "windows/importsummary.h"
#include "windows/progressdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

class TestTransferDialogs : public QObject {
    Q_OBJECT

private slots:
    void mappingDialogOffersTheItemsPerField();
    void progressText_data();
    void progressText();
    void cancelStopsTheJobAndWaitsForIt();
    void summarySavesTheSkippedList();
};

void TestTransferDialogs::mappingDialogOffersTheItemsPerField()
{
    ImportMappingChoice choice;
    choice.fields = {{"Name", "Chemical Name"}, {"CAS", "CAS Registry Number"}};
    choice.items = {"TITLE", "CAS_RN", "MW"};
    choice.preview = {{"Ethanol", "64-17-5", "46.07"}, {"Water", "7732-18-5", "18.02"}};
    // The structure column is not offered for this file and keeps its item.
    choice.itemForColumn = {{"Name", "TITLE"}, {"Structure", "SMILES"}};
    ImportMappingDialog dialog(choice);

    auto* name = dialog.findChild<QComboBox*>(QStringLiteral("Name"));
    auto* cas = dialog.findChild<QComboBox*>(QStringLiteral("CAS"));
    QCOMPARE(name->currentText(), QStringLiteral("TITLE"));
    QCOMPARE(cas->currentText(), QStringLiteral("(none)"));
    QCOMPARE(cas->count(), 4);
    // Reached by Tab and named after its field for screen readers.
    QVERIFY(cas->focusPolicy() & Qt::TabFocus);
    QCOMPARE(cas->accessibleName(), QStringLiteral("CAS Registry Number"));
    auto* preview = dialog.findChild<QTableWidget*>(QStringLiteral("preview"));
    QCOMPARE(preview->rowCount(), 2);
    QCOMPARE(preview->item(1, 1)->text(), QStringLiteral("7732-18-5"));

    name->setCurrentIndex(0);
    cas->setCurrentText(QStringLiteral("CAS_RN"));
    QCOMPARE(dialog.chosenMapping(),
             (QHash<QString, QString>{{"CAS", "CAS_RN"}, {"Structure", "SMILES"}}));
}

void TestTransferDialogs::progressText_data()
{
    QTest::addColumn<long long>("done");
    QTest::addColumn<long long>("total");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("text");
    const int records = int(ProgressUnit::Records), bytes = int(ProgressUnit::Bytes);
    QTest::newRow("nothing yet") << 0LL << 5000LL << 0.0 << records
                                 << QStringList{"0 of 5,000 records", "", ""};
    QTest::newRow("under way") << 1200LL << 5000LL << 3.0 << records
                               << QStringList{"1,200 of 5,000 records", "400 records a second",
                                              "About 10 seconds left"};
    QTest::newRow("minutes left") << 50LL << 7250LL << 1.0 << records
                                  << QStringList{"50 of 7,250 records", "50 records a second",
                                                 "About 2 min 24 s left"};
    QTest::newRow("total unknown")
        << 100LL << 0LL << 2.0 << records << QStringList{"100 records", "50 records a second", ""};
    // Counting reads the file through: 30 MB of 120 in 2 s leaves 6 s.
    QTest::newRow("bytes") << 30000000LL << 120000000LL << 2.0 << bytes
                           << QStringList{"30.0 MB of 120.0 MB read", "15.0 MB a second",
                                          "About 6 seconds left"};
}

void TestTransferDialogs::progressText()
{
    QFETCH(long long, done);
    QFETCH(long long, total);
    QFETCH(double, seconds);
    QFETCH(int, unit);
    QFETCH(QStringList, text);
    const ProgressText shown = describeProgress(done, total, seconds, ProgressUnit(unit));
    QCOMPARE((QStringList{shown.done, shown.rate, shown.timeLeft}), text);
}

// Cancel asks the job to stop; the dialog waits for it, however long it takes to wind up.
void TestTransferDialogs::cancelStopsTheJobAndWaitsForIt()
{
    JobProgress progress;
    progress.total = 10;
    bool jobEnded = false;
    QTimer::singleShot(600, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<ProgressDialog*>(window))
                QTest::keyClick(dialog, Qt::Key_Escape);
    });
    const Status status = runWithProgress(
        QStringLiteral("Importing"), progress,
        [&] {
            for (int i = 0; i < 500 && !progress.cancelRequested; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            jobEnded = true;
            return progress.cancelRequested ? Status::failure(QStringLiteral("Cancelled."))
                                            : Status();
        },
        nullptr);
    QVERIFY(jobEnded);
    QCOMPARE(status.message(), QStringLiteral("Cancelled."));
}

void TestTransferDialogs::summarySavesTheSkippedList()
{
    ScriptedCommonDialogs dialogs;
    ScriptedMessageBoxes boxes;
    QStringList savedTo;
    Status outcome;
    ImportSummaryDialog summary({"a.sdf", 2, 0.5, {"record 3: no molecule"}},
                                [&](const QString& path) {
                                    savedTo << path;
                                    return outcome;
                                });
    QVERIFY(summary.findChild<QLabel*>(QStringLiteral("counts"))
                ->text()
                .startsWith(QStringLiteral("Added 2 records, skipped 1")));
    auto* save = summary.findChild<QPushButton*>(QStringLiteral("saveList"));
    dialogs.queueAccept(QStringLiteral("/tmp/skipped.txt"));
    save->click();
    QCOMPARE(savedTo, QStringList{"/tmp/skipped.txt"});
    QVERIFY(boxes.shown().isEmpty());

    // A list that cannot be written says why; a cancelled file dialog saves nothing.
    outcome = Status::failure(QStringLiteral("The disk is full."));
    dialogs.queueAccept(QStringLiteral("/tmp/full.txt"));
    save->click();
    dialogs.queueCancel();
    save->click();
    QCOMPARE(savedTo.size(), 2);
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(boxes.shown()[0].prompt.contains(QStringLiteral("The disk is full.")));
}

QTEST_MAIN(TestTransferDialogs)
#include "tst_transferdialogs.moc"
