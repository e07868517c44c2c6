#include "controls/imagebox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestImageBox : public QObject {
    Q_OBJECT

private slots:
    void init();

    void loadPictureRefusesWhatIsNoPicture_data();
    void loadPictureRefusesWhatIsNoPicture();
    void loadPictureReadsPngAndGif_data();
    void loadPictureReadsPngAndGif();
    void pictureIsStretchedInsideTheBorder();

private:
    QTemporaryDir dir_;
};

namespace {

// A 1x1 GIF whose one pixel is pure red, as the structure pictures are GIFs.
const QByteArray kRedGif = QByteArray::fromHex("474946383961010001008000"
                                               "00ff0000000000"
                                               "2c00000000010001000002024401003b");

} // namespace

void TestImageBox::init()
{
    QVERIFY(dir_.isValid());
}

void TestImageBox::loadPictureRefusesWhatIsNoPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty path") << "" << QByteArray();
    QTest::newRow("missing file") << "missing.gif" << QByteArray();
    QTest::newRow("text named .gif") << "notes.gif" << QByteArray("ETHANOL\t64-17-5\n");
    QTest::newRow("truncated GIF") << "cut.gif" << kRedGif.left(12);
    QTest::newRow("empty file") << "empty.png" << QByteArray("");
    QTest::newRow("folder") << "folder.gif" << QByteArray();
}

void TestImageBox::loadPictureRefusesWhatIsNoPicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = name.isEmpty() ? QString() : dir_.filePath(name);
    if (name == QStringLiteral("folder.gif")) {
        QVERIFY(QDir().mkpath(path));
    } else if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // A picture left over from the previous record must not survive a failed load.
    QPixmap out(4, 4);
    QVERIFY(!ImageBox::loadPicture(path, out));
    QVERIFY(out.isNull());
}

void TestImageBox::loadPictureReadsPngAndGif_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("PNG") << "benzene.png";
    QTest::newRow("GIF") << "benzene.gif";
    QTest::newRow("GIF without suffix") << "benzene";
}

void TestImageBox::loadPictureReadsPngAndGif()
{
    QFETCH(QString, name);
    const QString path = dir_.filePath(name);
    if (name.endsWith(QStringLiteral(".png"))) {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path, "PNG"));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kRedGif);
    }
    QPixmap out;
    QVERIFY(ImageBox::loadPicture(path, out));
    QCOMPARE(out.size(), QSize(1, 1));
    QCOMPARE(out.toImage().pixelColor(0, 0), QColor(Qt::red));
}

void TestImageBox::pictureIsStretchedInsideTheBorder()
{
    ImageBox box;
    box.resize(120, 90);
    QImage small(3, 2, QImage::Format_RGB32);
    small.fill(Qt::red);
    box.setPicture(QPixmap::fromImage(small));
    QCOMPARE(box.picture().size(), QSize(3, 2));

    const QImage shown = box.grab().toImage();
    // Red right up to the single-line border on every side, which is not red.
    for (const QPoint& inside : {QPoint(1, 1), QPoint(118, 88), QPoint(60, 45)})
        QCOMPARE(shown.pixelColor(inside), QColor(Qt::red));
    for (const QPoint& border : {QPoint(0, 0), QPoint(119, 89), QPoint(60, 0)})
        QVERIFY(shown.pixelColor(border) != QColor(Qt::red));

    box.clearPicture();
    QVERIFY(box.picture().isNull());
    QVERIFY(box.grab().toImage().pixelColor(60, 45) != QColor(Qt::red));
}

QTEST_MAIN(TestImageBox)
#include "tst_controls_imagebox.moc"
