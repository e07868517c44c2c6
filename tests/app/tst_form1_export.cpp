#include "controls/button/paintedbutton.h"
#include "tests/support/formdriver.h"
#include "tests/support/testdatabase.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {

const QString kFilter = QStringLiteral("Text Files|*.txt|Word Files|*.doc");

// The block written for sampleRecord("ONE"), as a user reads it in the file.
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

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestForm1Export : public QObject {
    Q_OBJECT

private slots:
    void init() { ui_ = std::make_unique<FormDriver>(); }
    void cleanup() { ui_.reset(); }

    void saveAsAppendsTheShownRecord_data();
    void saveAsAppendsTheShownRecord();
    void saveAsWritesNothingWithoutAName();
    void saveAsReportsAFileItCannotWrite();
    void printWritesTheRecordAndPicture();

private:
    std::unique_ptr<FormDriver> ui_;
};

void TestForm1Export::saveAsAppendsTheShownRecord_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("saves");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("text file") << "record.txt"
                               << "note ONE" << 1 << kBlockOfOne;
    QTest::newRow("twice into one file") << "record.txt"
                                         << "note ONE" << 2 << kBlockOfOne + kBlockOfOne;
    QTest::newRow("Word name gets text") << "record.doc"
                                         << "note ONE" << 1 << kBlockOfOne;
    QByteArray twoLines = kBlockOfOne;
    twoLines.replace("note ONE\r\n", "first line\r\nsecond line\r\n");
    QTest::newRow("two-line note") << "record.txt"
                                   << "first line\nsecond line" << 1 << twoLines;
}

void TestForm1Export::saveAsAppendsTheShownRecord()
{
    QFETCH(QString, fileName);
    QFETCH(QString, note);
    QFETCH(int, saves);
    QFETCH(QByteArray, expected);
    QStringList record = sampleRecord("ONE");
    record[9] = note;
    record[10] = ui_->pictureFile("one.png", Qt::red);
    ui_->open({record, sampleRecord("TWO")});
    const QString path = ui_->filePath(fileName);
    for (int i = 0; i < saves; ++i) {
        ui_->dialogs.queueAccept(path);
        ui_->click("saveasbtn");
    }

    QCOMPARE(contents(path), expected);
    QCOMPARE(expected.count("\r\n"), 11 * saves + (note.contains('\n') ? saves : 0));
    QVERIFY(ui_->prompts().isEmpty());
    const CommonDialog::Shown& shown = ui_->dialogs.shown().last();
    QCOMPARE(int(shown.kind), int(CommonDialog::Kind::Save));
    QCOMPARE(shown.filter, kFilter);
    QCOMPARE(shown.filterIndex, 1);
    QCOMPARE(ui_->form().cd1.FileName, QString());
    QVERIFY(!ui_->button("browsebtn")->isEnabled());
}

void TestForm1Export::saveAsWritesNothingWithoutAName()
{
    ui_->openNamed({"ONE"});
    // Browse leaves the picture's name in the shared dialog; a cancelled save must not use it.
    ui_->click("editbtn");
    const QString picture = ui_->pictureFile("chosen.png", Qt::blue);
    const QByteArray pictureBytes = contents(picture);
    ui_->dialogs.queueAccept(picture);
    ui_->click("browsebtn");
    ui_->click("updatebtn");
    QCOMPARE(ui_->form().cd1.FileName, picture);

    ui_->dialogs.queueCancel();
    ui_->click("saveasbtn");
    ui_->dialogs.queueAccept(QStringLiteral(" "));
    ui_->click("saveasbtn");
    QCOMPARE(contents(picture), pictureBytes);
    QCOMPARE(QDir(ui_->filePath(QString())).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
             2);
    QVERIFY(ui_->prompts().isEmpty());
}

void TestForm1Export::saveAsReportsAFileItCannotWrite()
{
    ui_->openNamed({"ONE"});
    const QString path = ui_->filePath("no such folder/record.txt");
    ui_->dialogs.queueAccept(path);
    ui_->click("saveasbtn");
    QCOMPARE(ui_->prompts().size(), 1);
    const QString message = ui_->prompts()[0];
    QVERIFY2(message.contains(path) && message.contains(QLatin1String("No such file")),
             qPrintable(message));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(ui_->form().cd1.FileName, QString());
}

void TestForm1Export::printWritesTheRecordAndPicture()
{
    QStringList record = sampleRecord("ONE");
    record[10] = ui_->pictureFile("one.png", Qt::red);
    ui_->open({record});
    const QString pdf = ui_->filePath("record.pdf");

    ui_->dialogs.queueCancel();
    ui_->click("printbtn");
    QVERIFY(!QFile::exists(pdf));
    ui_->dialogs.queueAccept(pdf);
    ui_->click("printbtn");
    QCOMPARE(int(ui_->dialogs.shown().last().kind), int(CommonDialog::Kind::Print));
    QVERIFY(ui_->prompts().isEmpty());
    QVERIFY(!ui_->button("browsebtn")->isEnabled());

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    const QStringList labels{
        "Chemical Name :",    "IUPAC Name :",        "CAS Registry Number :", "Molecular Formula :",
        "Molecular Weight :", "Equivalent Weight :", "Physical Appearance :", "Specific Gravity :",
        "pH Value :",         "Special Note :"};
    for (int i = 0; i < labels.size(); ++i) {
        QVERIFY2(printed.contains(labels[i]), qPrintable(labels[i] + " in: " + printed));
        QVERIFY2(printed.contains(record[i]), qPrintable(record[i] + " in: " + printed));
    }
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    QVERIFY(images.waitForFinished());
    // A heading line, a rule, then one line per picture.
    QCOMPARE(images.readAllStandardOutput().trimmed().count('\n'), 2);
}

QTEST_MAIN(TestForm1Export)
#include "tst_form1_export.moc"
