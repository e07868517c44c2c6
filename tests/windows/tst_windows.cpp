#include "controls/button/paintedbutton.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"
#include "windows/closebox.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWindow>

#include <memory>

class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void secondaryWindowsStandInForTheMainWindow();
    void closeBoxRoutineResults();

private:
    QList<QWidget*> visibleWindows() const;
    std::unique_ptr<FormDriver> ui_;
};

QList<QWidget*> TestWindows::visibleWindows() const
{
    QList<QWidget*> shown;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            shown << window;
    return shown;
}

// The about and read-me windows stand in for the main window, which comes back on record 1.
void TestWindows::secondaryWindowsStandInForTheMainWindow()
{
    ui_->open({ui_->recordWithPicture("ONE", Qt::green), sampleRecord("TWO"),
               ui_->recordWithPicture("THREE", Qt::yellow)});
    const struct {
        const char* opener;
        QString window, title;
        const char* button;
        QString caption;
    } secondaries[] = {{"aboutbtn", "frmAbout", "About Flaskbook", "okbtn", "OK"},
                       {"helpbtn", "Form2", "Read It First !!!", "closebtn", "Close"}};
    for (const auto& [opener, window, title, button, caption] : secondaries) {
        ui_->click("lastbtn");
        QCOMPARE(ui_->shownPictureColour(), QColor(Qt::yellow).rgb());
        ui_->click(opener);
        QList<QWidget*> shown = visibleWindows();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0]->objectName(), window);
        QCOMPARE(shown[0]->windowTitle(), title);
        // It has no close box and refuses every close request.
        QVERIFY(!shown[0]->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!shown[0]->close());
        QVERIFY(!shown[0]->windowHandle()->close());
        QTest::keyClick(shown[0], Qt::Key_F4, Qt::AltModifier);
        QVERIFY(shown[0]->isVisible());
        // Both name version 1.1.6; the read-me's backup note names the real file and folders.
        const auto label = [&shown](const char* name) {
            return shown[0]->findChild<QLabel*>(name)->text();
        };
        if (window == QLatin1String("Form2")) {
            QVERIFY(
                label("Label1").startsWith("Thank you for choosing Flaskbook v 1.1.6 freeware"));
            QCOMPARE(label("Label3"),
                     "Click on \"Backup\" button for instant backup of current database as an "
                     "SQLite 3 file in \"" +
                         ui_->paths().backupFolder +
                         "\". To use this backup file for Flaskbook, you need to copy it as "
                         "\"Flaskbook.mdb\" file in \"" +
                         ui_->paths().dataFolder + "\".");
            // It keeps to its place, above the next paragraph.
            const auto* note = shown[0]->findChild<QLabel*>("Label3");
            QVERIFY(note->fontMetrics()
                        .boundingRect(note->contentsRect(), Qt::TextWordWrap, note->text())
                        .height() <= note->contentsRect().height());
        } else {
            QCOMPARE(label("lblVersion"), QStringLiteral("v 1.1.6"));
        }

        // Its button was restored from the stored design data.
        auto* back = shown[0]->findChild<paintedButton*>(button);
        QCOMPARE(back->Caption(), caption);
        QCOMPARE(back->ButtonType(), 3);
        QCOMPARE(back->ColorScheme(), 1);
        QCOMPARE(back->BackColor(), 0xD8E9ECu);
        QCOMPARE(back->Font().pointSizeF(), 12.0);

        // Its button unloads it and brings the main window back on record 1, browsing.
        QPointer<QWidget> secondary = shown[0];
        QTest::mouseClick(back, Qt::LeftButton);
        QTRY_VERIFY(secondary.isNull());
        shown = visibleWindows();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0], &ui_->form());
        QCOMPARE(ui_->recordNumber(), QStringLiteral("1"));
        QCOMPARE(ui_->shownText("nametxt"), QStringLiteral("ONE"));
        QCOMPARE(ui_->shownPictureColour(), QColor(Qt::green).rgb());
        QVERIFY(ui_->box("nametxt")->Locked());
        QVERIFY(ui_->control<QLabel>("Label10")->isVisible());
    }
}

void TestWindows::closeBoxRoutineResults()
{
    QWidget window;
    window.show();
    const WId handle = window.winId();
    bool off = false, on = true;

    QCOMPARE(SetCloseBoxEnabled(handle, off), qint16(0));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(window.isVisible());
    // Off again: nothing to do, nothing changes.
    const Qt::WindowFlags flags = window.windowFlags();
    QCOMPARE(SetCloseBoxEnabled(handle, off), qint16(0));
    QCOMPARE(window.windowFlags(), flags);
    QVERIFY(!window.close());

    QCOMPARE(SetCloseBoxEnabled(handle, on), qint16(0));
    QCOMPARE(SetCloseBoxEnabled(handle, on), qint16(0));
    QVERIFY(window.close());

    // Handles that name no window.
    QCOMPARE(SetCloseBoxEnabled(WId(0), off), qint16(-1));
    WId gone;
    {
        QWidget shortLived;
        gone = shortLived.winId();
    }
    QCOMPARE(SetCloseBoxEnabled(gone, off), qint16(-1));
    QWidget parent;
    auto* child = new QWidget(&parent);
    QCOMPARE(SetCloseBoxEnabled(child->winId(), off), qint16(-1));
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
