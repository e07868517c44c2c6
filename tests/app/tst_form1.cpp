#include "app/form1.h"
#include "controls/button/paintedbutton.h"
#include "controls/imagebox.h"
#include "controls/textbox.h"
#include "platform/msgbox.h"
#include "tests/support/testdatabase.h"

#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kFirst = QStringLiteral(" This is the first record of database");
const QString kLast = QStringLiteral(" This is the last record of database");
const QString kLimit = QStringLiteral("Flaskbook supports maximum 1 Million records.");

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpShowsTheFirstRecordInBrowsingState();
    void startUpOnAnEmptyTable();
    void unopenableDatabaseIsReportedByName();
    void navigationStopsAtBothEndsWithItsMessage_data();
    void navigationStopsAtBothEndsWithItsMessage();
    void navigationOnAnEmptyTable_data();
    void navigationOnAnEmptyTable();
    void everyMoveClearsTheSearchText();
    void pictureFollowsTheRecord();
    void activationReturnsToTheFirstRecord();
    void recordLimitGuard_data();
    void recordLimitGuard();
    void closingCommitsThePendingRecord();

private:
    void openForm(const QList<QStringList>& records);
    void openForm(const QStringList& names);
    template <typename T> T* control(const char* name) const
    {
        T* found = form_->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* button)
    {
        QTest::mouseClick(control<paintedButton>(button), Qt::LeftButton);
    }
    QString shownName() const { return control<TextBox>("nametxt")->Text(); }
    QString recordNumber() const { return control<QLabel>("record2label")->text(); }
    QStringList prompts() const
    {
        QStringList texts;
        for (const ShownMessageBox& box : boxes_->shown())
            texts.append(box.prompt);
        return texts;
    }
    QRgb shownPictureColour() const
    {
        const QPixmap picture = control<ImageBox>("chemstrimagebox")->picture();
        return picture.isNull() ? 0 : picture.toImage().pixel(0, 0);
    }
    QString pictureFile(const char* name, Qt::GlobalColor colour) const
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir_->filePath(QLatin1String(name));
        image.save(path, "PNG");
        return path;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Form1> form_;
};

void TestForm1::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
}

void TestForm1::cleanup()
{
    form_.reset();
    boxes_.reset();
    dir_.reset();
}

void TestForm1::openForm(const QList<QStringList>& records)
{
    const Paths paths{dir_->path(), dir_->path(), dir_->filePath(QStringLiteral("backup"))};
    createTestDatabase(paths.databaseFile(), records);
    form_ = std::make_unique<Form1>(paths);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TestForm1::openForm(const QStringList& names)
{
    QList<QStringList> records;
    for (const QString& name : names)
        records.append(sampleRecord(name));
    openForm(records);
}

void TestForm1::startUpShowsTheFirstRecordInBrowsingState()
{
    QList<QStringList> records{sampleRecord("ONE"), sampleRecord("TWO"), sampleRecord("THREE")};
    records[0][10] = pictureFile("one.png", Qt::red);
    records[0][6] =
        QStringLiteral("A white crystalline powder that wraps onto a second line of the box");
    openForm(records);

    QVERIFY(boxes_->shown().isEmpty());
    QCOMPARE(form_->recordTotal, 3);
    QCOMPARE(recordNumber(), QStringLiteral("1"));
    QCOMPARE(shownName(), QStringLiteral("ONE"));
    QCOMPARE(control<TextBox>("CAStxt")->Text(), QStringLiteral("cas-ONE"));
    QCOMPARE(shownPictureColour(), QColor(Qt::red).rgb());
    QCOMPARE(control<QLabel>("imagelbl")->text(),
             QStringLiteral("Chemical Structure:  ") + records[0][10]);

    for (const char* name : {"nametxt", "iupactxt", "CAStxt", "mfortxt", "mwttxt", "eqwttxt",
                             "phyapptxt", "spgrtxt", "pHtxt", "notetxt"})
        QVERIFY2(control<TextBox>(name)->Locked(), name);
    QVERIFY(!control<TextBox>("searchtxt")->Locked());
    // The one-line-high multi-line box shows the start of its text.
    QCOMPARE(
        control<TextBox>("phyapptxt")->findChild<QPlainTextEdit*>()->verticalScrollBar()->value(),
        0);
    QVERIFY(control<QRadioButton>("nameoptbtn")->isChecked());
    for (const char* name : {"undobtn", "browsebtn", "updatebtn"})
        QVERIFY2(!control<paintedButton>(name)->isEnabled(), name);
    for (const char* name : {"newbtn", "saveasbtn", "printbtn", "editbtn", "deletebtn", "nextbtn",
                             "searchbtn", "sortascbtn", "backupbtn", "cleardbbtn", "aboutbtn"})
        QVERIFY2(control<paintedButton>(name)->isEnabled(), name);
    QVERIFY(control<QLabel>("Label10")->isVisible());
    QVERIFY(!control<QLabel>("Label9")->isVisible());
    QVERIFY(!control<QLabel>("Label17")->isVisible());
    QVERIFY(control<QLabel>("Label18")->isVisible());
    QVERIFY(!control<QLabel>("Label19")->isVisible());
    QVERIFY(!control<QLabel>("Label20")->isVisible());
}

void TestForm1::startUpOnAnEmptyTable()
{
    openForm(QStringList());
    QVERIFY(boxes_->shown().isEmpty());
    QCOMPARE(form_->recordTotal, 0);
    QCOMPARE(recordNumber(), QStringLiteral("0"));
    QVERIFY(control<ImageBox>("chemstrimagebox")->picture().isNull());
    QCOMPARE(control<QLabel>("imagelbl")->text(), QStringLiteral("Chemical Structure:  "));
    QVERIFY(control<TextBox>("nametxt")->Locked());
}

void TestForm1::unopenableDatabaseIsReportedByName()
{
    const Paths paths{dir_->path(), dir_->path(), dir_->filePath(QStringLiteral("backup"))};
    form_ = std::make_unique<Form1>(paths);
    form_->show();
    QCOMPARE(boxes_->shown().size(), 1);
    QVERIFY(boxes_->shown()[0].prompt.contains(paths.databaseFile()));
    QVERIFY(boxes_->shown()[0].prompt.contains(QLatin1String("does not exist")));
    QCOMPARE(recordNumber(), QStringLiteral("0"));
    click("nextbtn");
    QCOMPARE(prompts().last(), kLast);
    QVERIFY(form_->close());
}

void TestForm1::navigationStopsAtBothEndsWithItsMessage_data()
{
    QTest::addColumn<int>("startRecord");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("endRecord");
    QTest::addColumn<QString>("message");
    QTest::newRow("First on 1") << 1 << QByteArray("firstbtn") << 1 << kFirst;
    QTest::newRow("First on 3") << 3 << QByteArray("firstbtn") << 1 << kFirst;
    QTest::newRow("Previous on 1") << 1 << QByteArray("previousbtn") << 1 << kFirst;
    QTest::newRow("Previous on 2") << 2 << QByteArray("previousbtn") << 1 << QString();
    QTest::newRow("Next on 1") << 1 << QByteArray("nextbtn") << 2 << QString();
    QTest::newRow("Next on 3") << 3 << QByteArray("nextbtn") << 3 << kLast;
    QTest::newRow("Last on 2") << 2 << QByteArray("lastbtn") << 3 << kLast;
    QTest::newRow("Last on 3") << 3 << QByteArray("lastbtn") << 3 << kLast;
}

void TestForm1::navigationStopsAtBothEndsWithItsMessage()
{
    QFETCH(int, startRecord);
    QFETCH(QByteArray, button);
    QFETCH(int, endRecord);
    QFETCH(QString, message);
    openForm(QStringList{"ONE", "TWO", "THREE"});
    for (int i = 1; i < startRecord; ++i)
        click("nextbtn");
    boxes_->clear();

    click(button.constData());
    const QStringList names{"ONE", "TWO", "THREE"};
    QCOMPARE(recordNumber(), QString::number(endRecord));
    QCOMPARE(shownName(), names[endRecord - 1]);
    QCOMPARE(prompts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(boxes_->shown()[0].title, QStringLiteral("Flaskbook"));
        QCOMPARE(boxes_->shown()[0].style, int(vbOKOnly | vbInformation));
    }
}

void TestForm1::navigationOnAnEmptyTable_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("First") << QByteArray("firstbtn") << kFirst;
    QTest::newRow("Previous") << QByteArray("previousbtn") << kFirst;
    QTest::newRow("Next") << QByteArray("nextbtn") << kLast;
    QTest::newRow("Last") << QByteArray("lastbtn") << kLast;
}

void TestForm1::navigationOnAnEmptyTable()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, message);
    openForm(QStringList());
    click(button.constData());
    QCOMPARE(prompts(), QStringList{message});
    QCOMPARE(recordNumber(), QStringLiteral("0"));
    QVERIFY(control<ImageBox>("chemstrimagebox")->picture().isNull());
}

void TestForm1::everyMoveClearsTheSearchText()
{
    openForm(QStringList{"ONE", "TWO"});
    for (const char* button : {"firstbtn", "previousbtn", "nextbtn", "lastbtn"}) {
        control<TextBox>("searchtxt")->setText(QStringLiteral("ETHANOL"));
        control<paintedButton>("browsebtn")->setEnabled(true);
        click(button);
        QVERIFY2(control<TextBox>("searchtxt")->Text().isEmpty(), button);
        QVERIFY2(!control<paintedButton>("browsebtn")->isEnabled(), button);
        QVERIFY(control<TextBox>("nametxt")->Locked());
    }
}

void TestForm1::pictureFollowsTheRecord()
{
    QList<QStringList> records{sampleRecord("RED"), sampleRecord("NONE"), sampleRecord("BLUE"),
                               sampleRecord("MISSING")};
    records[0][10] = pictureFile("red.png", Qt::red);
    records[2][10] = pictureFile("blue.png", Qt::blue);
    records[3][10] = dir_->filePath(QStringLiteral("gone.gif"));
    openForm(records);
    QCOMPARE(shownPictureColour(), QColor(Qt::red).rgb());

    // An empty path clears the picture.
    click("nextbtn");
    QVERIFY(control<ImageBox>("chemstrimagebox")->picture().isNull());
    QCOMPARE(control<QLabel>("imagelbl")->text(), QStringLiteral("Chemical Structure:  "));

    // A missing file keeps the old picture while the caption shows the new path.
    click("nextbtn");
    QCOMPARE(shownPictureColour(), QColor(Qt::blue).rgb());
    click("nextbtn");
    QCOMPARE(shownPictureColour(), QColor(Qt::blue).rgb());
    QCOMPARE(control<QLabel>("imagelbl")->text(),
             QStringLiteral("Chemical Structure:  ") + records[3][10]);
}

void TestForm1::activationReturnsToTheFirstRecord()
{
    QList<QStringList> records{sampleRecord("ONE"), sampleRecord("TWO"), sampleRecord("THREE")};
    records[0][10] = pictureFile("one.png", Qt::green);
    records[2][10] = pictureFile("three.png", Qt::yellow);
    openForm(records);
    click("lastbtn");
    QCOMPARE(recordNumber(), QStringLiteral("3"));
    QCOMPARE(shownPictureColour(), QColor(Qt::yellow).rgb());

    // The about and read-me windows hide the main window and show it again.
    form_->hide();
    form_->show();
    QCOMPARE(recordNumber(), QStringLiteral("1"));
    QCOMPARE(shownName(), QStringLiteral("ONE"));
    QCOMPARE(shownPictureColour(), QColor(Qt::green).rgb());
    QCOMPARE(control<QLabel>("imagelbl")->text(),
             QStringLiteral("Chemical Structure:  ") + records[0][10]);
}

void TestForm1::recordLimitGuard_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("exactly a million") << 1000000;
    QTest::newRow("one more") << 1000001;
}

void TestForm1::recordLimitGuard()
{
    QFETCH(int, count);
    const bool over = count > 1000000;
    const Paths paths{dir_->path(), dir_->path(), dir_->filePath(QStringLiteral("backup"))};
    createLargeTestDatabase(paths.databaseFile(), count);
    form_ = std::make_unique<Form1>(paths);
    form_->show();
    QCOMPARE(prompts(), over ? QStringList{kLimit} : QStringList());
    QCOMPARE(form_->recordTotal, over ? 0 : 1000000);
    QCOMPARE(recordNumber(), QStringLiteral("1"));

    boxes_->clear();
    control<TextBox>("searchtxt")->setText(QStringLiteral("X"));
    click("lastbtn");
    QCOMPARE(prompts(), QStringList{over ? kLimit : kLast});
    QCOMPARE(recordNumber(), over ? QStringLiteral("1") : QStringLiteral("1000000"));
    QVERIFY(control<TextBox>("searchtxt")->Text().isEmpty());
}

void TestForm1::closingCommitsThePendingRecord()
{
    openForm(QStringList{"ONE"});
    QVERIFY(form_->Data1.Recordset().AddNew().ok());
    control<TextBox>("nametxt")->setText(QStringLiteral("TYPED"));
    QVERIFY(form_->close());
    QCOMPARE(readNames(dir_->filePath(QStringLiteral("Flaskbook.mdb"))),
             (QStringList{"ONE", "TYPED"}));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
