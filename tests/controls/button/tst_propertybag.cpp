#include "controls/button/propertybag.h"

#include <QFont>
#include <QImage>
#include <QTest>

namespace {

// A 3x2 picture with partial and zero alpha, the colour under zero alpha included.
QImage translucentPicture()
{
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 255));
    picture.setPixel(1, 0, qRgba(0, 255, 0, 128));
    picture.setPixel(2, 0, qRgba(0, 0, 255, 1));
    picture.setPixel(0, 1, qRgba(12, 34, 56, 0));
    picture.setPixel(1, 1, qRgba(255, 255, 255, 200));
    picture.setPixel(2, 1, qRgba(0, 0, 0, 255));
    return picture;
}

QImage opaquePicture()
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(192, 192, 192));
    picture.setPixel(1, 0, qRgb(1, 2, 3));
    picture.setPixel(0, 1, qRgb(250, 251, 252));
    picture.setPixel(1, 1, qRgb(0, 128, 255));
    return picture;
}

// Like a GIF structure picture: a colour table of its own.
QImage indexedPicture()
{
    QImage picture(2, 1, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    picture.setPixel(0, 0, 1);
    picture.setPixel(1, 0, 0);
    return picture;
}

QFont font(const QString& family, qreal size, bool bold, bool italic, bool underline,
           bool strikeOut)
{
    QFont f(family);
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    return f;
}

void compareValues(const QVariant& actual, const QVariant& expected)
{
    QCOMPARE(actual.typeId(), expected.typeId());
    if (expected.typeId() == QMetaType::QFont) {
        const QFont a = actual.value<QFont>();
        const QFont e = expected.value<QFont>();
        QCOMPARE(a.family(), e.family());
        QCOMPARE(a.pointSizeF(), e.pointSizeF());
        QCOMPARE(a.bold(), e.bold());
        QCOMPARE(a.italic(), e.italic());
        QCOMPARE(a.underline(), e.underline());
        QCOMPARE(a.strikeOut(), e.strikeOut());
    } else if (expected.typeId() == QMetaType::QImage) {
        const QImage a = actual.value<QImage>();
        const QImage e = expected.value<QImage>();
        QCOMPARE(a.isNull(), e.isNull());
        QCOMPARE(a.size(), e.size());
        QCOMPARE(a.hasAlphaChannel(), e.hasAlphaChannel());
        for (int y = 0; y < e.height(); ++y) {
            for (int x = 0; x < e.width(); ++x)
                QCOMPARE(a.pixel(x, y), e.pixel(x, y));
        }
    } else {
        QCOMPARE(actual, expected);
    }
}

} // namespace

class TestPropertyBag : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void entriesKeepTheirOrderAndPlace();
    void missingKeyGivesTheDefault();
    void rejectsWhatItCannotHold();
    void readsEmptyAndCrLfText();
    void malformedTextIsRejected_data();
    void malformedTextIsRejected();
};

void TestPropertyBag::roundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("int32") << QStringLiteral("BTYPE") << QVariant(qint32(3));
    QTest::newRow("int32 highest") << QStringLiteral("BCOL") << QVariant(qint32(INT32_MAX));
    QTest::newRow("system colour reference")
        << QStringLiteral("BCOL") << QVariant(qint32(0x8000000F));
    QTest::newRow("int16 lowest") << QStringLiteral("MPTR") << QVariant::fromValue(qint16(-32768));
    QTest::newRow("true") << QStringLiteral("ENAB") << QVariant(true);
    QTest::newRow("false") << QStringLiteral("ENAB") << QVariant(false);
    QTest::newRow("string with & and escapes")
        << QStringLiteral("TX") << QVariant(QStringLiteral("Save && E&xit\tA\\tB\\\\C\nD\r\\"));
    QTest::newRow("key with tab, newline, backslash")
        << QStringLiteral("K\tE\\Y\n") << QVariant(qint32(1));
    QTest::newRow("font 8.25") << QStringLiteral("FONT")
                               << QVariant(font(QStringLiteral("MS Sans Serif"), 8.25, false, false,
                                                false, false));
    QTest::newRow("font, all attributes")
        << QStringLiteral("FONT")
        << QVariant(font(QStringLiteral("Arial, Bold\tTab\\"), 12, true, true, true, true));
    QTest::newRow("picture with alpha") << QStringLiteral("PICN") << QVariant(translucentPicture());
    QTest::newRow("opaque picture") << QStringLiteral("PICH") << QVariant(opaquePicture());
    QTest::newRow("opaque picture with alpha channel")
        << QStringLiteral("PICH")
        << QVariant(opaquePicture().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QTest::newRow("indexed picture") << QStringLiteral("PICN") << QVariant(indexedPicture());
    QTest::newRow("empty picture") << QStringLiteral("MICON") << QVariant(QImage());
}

void TestPropertyBag::roundTrip()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    PropertyBag bag;
    QVERIFY(bag.WriteProperty(key, value));
    bool ok = false;
    const PropertyBag read = PropertyBag::fromText(bag.toText(), &ok);
    QVERIFY(ok);
    QCOMPARE(read.keys(), QStringList{key});
    compareValues(read.ReadProperty(key), value);
    compareValues(bag.ReadProperty(key), value);
}

void TestPropertyBag::entriesKeepTheirOrderAndPlace()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("C"), 1);
    bag.WriteProperty(QStringLiteral("A"), 2);
    bag.WriteProperty(QStringLiteral("B"), 3);
    bag.WriteProperty(QStringLiteral("A"), QStringLiteral("again"));
    QCOMPARE(bag.keys(),
             (QStringList{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")}));
    QCOMPARE(bag.ReadProperty(QStringLiteral("A")), QVariant(QStringLiteral("again")));

    // Writing no value leaves no entry, as for a picture that is not set.
    QVERIFY(bag.WriteProperty(QStringLiteral("A"), QVariant()));
    QVERIFY(!bag.contains(QStringLiteral("A")));
    QCOMPARE(bag.count(), 2);
    QCOMPARE(bag.keys(), (QStringList{QStringLiteral("C"), QStringLiteral("B")}));
}

void TestPropertyBag::missingKeyGivesTheDefault()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("BTYPE"), 3);
    QCOMPARE(bag.ReadProperty(QStringLiteral("COLTYPE"), 1), QVariant(1));
    QCOMPARE(bag.ReadProperty(QStringLiteral("btype"), 2), QVariant(2));
    QCOMPARE(bag.ReadProperty(QStringLiteral("BTYPE"), 2), QVariant(3));
    QVERIFY(!bag.ReadProperty(QStringLiteral("PICN")).isValid());
}

void TestPropertyBag::rejectsWhatItCannotHold()
{
    PropertyBag bag;
    QVERIFY(!bag.WriteProperty(QStringLiteral("D"), 1.5));
    QFont pixelFont(QStringLiteral("Arial"));
    pixelFont.setPixelSize(12);
    QVERIFY(!bag.WriteProperty(QStringLiteral("FONT"), pixelFont));
    QCOMPARE(bag.count(), 0);
}

void TestPropertyBag::readsEmptyAndCrLfText()
{
    bool ok = false;
    QCOMPARE(PropertyBag::fromText(QString(), &ok).count(), 0);
    QVERIFY(ok);
    ok = false;
    const PropertyBag bag =
        PropertyBag::fromText(QStringLiteral("A\tint32\t1\r\nB\tbool\t-1\r\n"), &ok);
    QVERIFY(ok);
    QCOMPARE(bag.ReadProperty(QStringLiteral("A")), QVariant(1));
    QCOMPARE(bag.ReadProperty(QStringLiteral("B")), QVariant(true));
}

void TestPropertyBag::malformedTextIsRejected_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("no value") << QStringLiteral("BTYPE\tint32\n");
    QTest::newRow("unknown type") << QStringLiteral("X\tdouble\t1.5\n");
    QTest::newRow("int32 not a number") << QStringLiteral("BTYPE\tint32\tabc\n");
    QTest::newRow("int32 too large") << QStringLiteral("BTYPE\tint32\t2147483648\n");
    QTest::newRow("truth value 1") << QStringLiteral("ENAB\tbool\t1\n");
    QTest::newRow("unknown escape") << QStringLiteral("TX\tstring\ta\\qb\n");
    QTest::newRow("trailing backslash") << QStringLiteral("TX\tstring\tab\\\n");
    QTest::newRow("extra field") << QStringLiteral("TX\tstring\ta\tb\n");
    QTest::newRow("font missing a field") << QStringLiteral("FONT\tfont\tArial\t8.25\t-1\t0\t0\n");
    QTest::newRow("font size not a number")
        << QStringLiteral("FONT\tfont\tArial\tbig\t0\t0\t0\t0\n");
    QTest::newRow("font size 0") << QStringLiteral("FONT\tfont\tArial\t0\t0\t0\t0\t0\n");
    QTest::newRow("font bold 2") << QStringLiteral("FONT\tfont\tArial\t8\t2\t0\t0\t0\n");
    QTest::newRow("picture not base64") << QStringLiteral("PICN\tpicture\t!!!!\n");
    QTest::newRow("picture cut short")
        << QStringLiteral("PICN\tpicture\tiVBORw0KGgoAAAANSUhEUgAAAAIAAAAC\n");
    QTest::newRow("key twice") << QStringLiteral("A\tint32\t1\nA\tint32\t2\n");
    QTest::newRow("good line, then a bad one") << QStringLiteral("A\tint32\t1\nB\tint32\tx\n");
}

void TestPropertyBag::malformedTextIsRejected()
{
    QFETCH(QString, text);
    bool ok = true;
    const PropertyBag bag = PropertyBag::fromText(text, &ok);
    QVERIFY(!ok);
    QCOMPARE(bag.count(), 0);
}

QTEST_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
