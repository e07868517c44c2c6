#include "controls/button/paintedbutton.h"
#include "controls/button/propertybag.h"

#include <QApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

using Write = void (*)(paintedButton&);
Q_DECLARE_METATYPE(Write)

namespace {

// The desktop's button colours in these tests: face 0xC8D0D4, text 0x201810.
QPalette desktopPalette(const QColor& face = QColor(0xD4, 0xD0, 0xC8))
{
    QPalette palette;
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x18, 0x20));
    return palette;
}

QImage picture(QRgb color, int size = 4)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QStringList keysOf(const QSignalSpy& spy)
{
    QStringList keys;
    for (const QList<QVariant>& call : spy)
        keys << call.at(0).toString();
    return keys;
}

// Every setting away from its default, HAND included.
void makeBusy(paintedButton& b)
{
    b.resize(100, 30);
    b.setButtonType(14);
    b.setCaption(QStringLiteral("Save && E&xit"));
    b.setEnabled(false);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(9.75);
    font.setItalic(true);
    b.setFont(font);
    b.setColorScheme(3);
    b.setShowFocusRect(false);
    b.setBackColor(0x112233);
    b.setBackOver(0x445566);
    b.setForeColor(0x80000008);
    b.setForeOver(0x778899);
    b.setMaskColor(0xFF00FF);
    b.setPictureNormal(picture(qRgb(200, 0, 0), 6));
    b.setPictureOver(picture(qRgb(0, 200, 0)));
    b.setUseMaskColor(false);
    b.setSoftBevel(true);
    b.setPicturePosition(3);
    b.setUseGreyscale(true);
    b.setSpecialEffect(2);
    b.setHandPointer(true);
    b.setCheckBoxBehaviour(true);
    b.setValue(true);
}

} // namespace

class TestPaintedButtonProperties : public QObject {
    Q_OBJECT

private slots:
    void init();
    void newInstanceTakesItsNameAndTheSystemColours();
    void writeNotifiesAndRebuilds_data();
    void writeNotifiesAndRebuilds();
    void designModeExtras_data();
    void designModeExtras();
    void fontWritesReachTheSavedFontSilently();
    void fontSizeRoundsHalvesToEven_data();
    void fontSizeRoundsHalvesToEven();
    void mousePointer_data();
    void mousePointer();
    void handPointerAndMouseIcon();
    void focusBoxFollowsButtonType_data();
    void focusBoxFollowsButtonType();
    void savedEntries_data();
    void savedEntries();
    void everySettingSurvivesSaveAndRestore();
    void handOverridesSavedPointerAndIcon_data();
    void handOverridesSavedPointerAndIcon();
    void emptyBagRestoresDefaultsWithoutBuildingThePalette();
};

void TestPaintedButtonProperties::init()
{
    QApplication::setPalette(desktopPalette());
}

void TestPaintedButtonProperties::newInstanceTakesItsNameAndTheSystemColours()
{
    QWidget form;
    form.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
    paintedButton button(&form);
    button.setObjectName(QStringLiteral("paintedButton1"));
    makeBusy(button);
    QSignalSpy changes(&button, &paintedButton::PropertyChanged);

    button.InitProperties();
    QCOMPARE(button.Caption(), QStringLiteral("paintedButton1"));
    QCOMPARE(button.Font().family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(button.Font().pointSize(), 11);
    QCOMPARE(button.ButtonType(), 2);
    QCOMPARE(button.ColorScheme(), 1);
    QVERIFY(button.Enabled() && button.ShowFocusRect() && button.UseMaskColor());
    QCOMPARE(button.BackColor(), 0xC8D0D4u);
    QCOMPARE(button.BackOver(), 0xC8D0D4u);
    QCOMPARE(button.ForeColor(), 0x201810u);
    QCOMPARE(button.ForeOver(), 0x201810u);
    QCOMPARE(button.MaskColor(), 0xC0C0C0u);
    QCOMPARE(button.Version(), QStringLiteral("2.0.6"));
    QVERIFY(changes.isEmpty());
}

void TestPaintedButtonProperties::writeNotifiesAndRebuilds_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("rebuildsPalette");
    const auto row = [](const char* name, QStringList keys, bool rebuilds, Write write) {
        QTest::newRow(name) << write << keys << rebuilds;
    };
    row("BackColor", {"BCOL"}, true, [](paintedButton& b) { b.setBackColor(0x8000000F); });
    row("BackOver", {"BCOLO"}, true, [](paintedButton& b) { b.setBackOver(0x00FF00); });
    row("ForeColor", {"FCOL"}, true, [](paintedButton& b) { b.setForeColor(0x0000FF); });
    row("ForeOver", {"FCOLO"}, true, [](paintedButton& b) { b.setForeOver(0xFF0000); });
    row("MaskColor", {"MCOL"}, true, [](paintedButton& b) { b.setMaskColor(0xFF00FF); });
    row("SoftBevel", {"SOFT"}, true, [](paintedButton& b) { b.setSoftBevel(true); });
    row("ColorScheme", {"COLTYPE"}, true, [](paintedButton& b) { b.setColorScheme(2); });
    row("Refresh", {}, true, [](paintedButton& b) { b.Refresh(); });
    row("ButtonType", {"BTYPE"}, false, [](paintedButton& b) { b.setButtonType(3); });
    row("Caption", {"TX"}, false, [](paintedButton& b) { b.setCaption("&Next"); });
    row("Enabled", {"ENAB"}, false, [](paintedButton& b) { b.setEnabled(false); });
    row("Font", {"FONT"}, false, [](paintedButton& b) { b.setFont(QFont("Liberation Mono", 14)); });
    row("FontBold", {}, false, [](paintedButton& b) { b.setFontBold(true); });
    row("FontSize", {}, false, [](paintedButton& b) { b.setFontSize(15); });
    row("ShowFocusRect", {"FOCUSR"}, false, [](paintedButton& b) { b.setShowFocusRect(false); });
    row("MousePointer", {"MPTR"}, false, [](paintedButton& b) { b.setMousePointer(2); });
    row("MouseIcon", {"MICON"}, false, [](paintedButton& b) { b.setMouseIcon(picture(1)); });
    row("HandPointer", {"HAND"}, false, [](paintedButton& b) { b.setHandPointer(true); });
    row("PictureNormal", {"PICN"}, false, [](paintedButton& b) { b.setPictureNormal(picture(1)); });
    row("PictureOver", {"PICO"}, false, [](paintedButton& b) { b.setPictureOver(picture(1)); });
    row("PicturePosition", {"PICPOS"}, false, [](paintedButton& b) { b.setPicturePosition(2); });
    row("UseMaskColor", {"UMCOL"}, false, [](paintedButton& b) { b.setUseMaskColor(false); });
    row("UseGreyscale", {"NGREY"}, false, [](paintedButton& b) { b.setUseGreyscale(true); });
    row("SpecialEffect", {"FX"}, false, [](paintedButton& b) { b.setSpecialEffect(1); });
    row("CheckBox", {"CHECK"}, false, [](paintedButton& b) { b.setCheckBoxBehaviour(true); });
    row("Value", {"VALUE"}, false, [](paintedButton& b) { b.setValue(true); });
    row("DisableRefresh", {}, false, [](paintedButton& b) { b.DisableRefresh(); });
}

void TestPaintedButtonProperties::writeNotifiesAndRebuilds()
{
    QFETCH(Write, write);
    QFETCH(QStringList, keys);
    QFETCH(bool, rebuildsPalette);
    paintedButton button;
    button.resize(100, 30);
    // Own colours ignore a desktop colour change, so only a palette build picks it up.
    button.setColorScheme(2);
    button.setBackColor(0x8000000F);
    button.show();
    QApplication::setPalette(desktopPalette(QColor(0x40, 0x50, 0x60)));
    QCOMPARE(button.buttonPalette().FaceColor, 0xC8D0D4u);
    QSignalSpy changes(&button, &paintedButton::PropertyChanged);

    write(button);
    QCOMPARE(keysOf(changes), keys);
    QCOMPARE(button.buttonPalette().FaceColor, rebuildsPalette ? 0x605040u : 0xC8D0D4u);
}

void TestPaintedButtonProperties::designModeExtras_data()
{
    QTest::addColumn<bool>("userMode");
    QTest::addColumn<int>("buttonType");
    QTest::addColumn<quint32>("backOver");
    QTest::addColumn<quint32>("foreOver");
    QTest::addColumn<bool>("bold");
    QTest::newRow("design, type 5") << false << 5 << 0x333333u << 0x444444u << true;
    QTest::newRow("design, type 3") << false << 3 << 0x333333u << 0x444444u << false;
    QTest::newRow("run, type 5") << true << 5 << 0x111111u << 0x222222u << false;
}

void TestPaintedButtonProperties::designModeExtras()
{
    QFETCH(bool, userMode);
    QFETCH(int, buttonType);
    QFETCH(quint32, backOver);
    QFETCH(quint32, foreOver);
    QFETCH(bool, bold);
    paintedButton button;
    button.setBackOver(0x111111);
    button.setForeOver(0x222222);
    button.setUserMode(userMode);
    QSignalSpy changes(&button, &paintedButton::PropertyChanged);

    button.setBackColor(0x333333);
    button.setForeColor(0x444444);
    button.setButtonType(buttonType);
    QCOMPARE(button.BackOver(), backOver);
    QCOMPARE(button.ForeOver(), foreOver);
    QCOMPARE(button.FontBold(), bold);
    // The hover colours and the bold font follow silently.
    QCOMPARE(keysOf(changes), (QStringList{"BCOL", "FCOL", "BTYPE"}));
}

void TestPaintedButtonProperties::fontWritesReachTheSavedFontSilently()
{
    paintedButton button;
    button.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    QSignalSpy changes(&button, &paintedButton::PropertyChanged);

    button.setFontBold(true);
    button.setFontItalic(true);
    button.setFontUnderline(true);
    QVERIFY(button.setFontSize(15));
    QVERIFY(!button.setFontSize(0));
    button.setFontName(QStringLiteral("Liberation Mono"));
    PropertyBag bag;
    button.WriteProperties(bag);
    const QFont saved = bag.ReadProperty(QStringLiteral("FONT")).value<QFont>();
    QVERIFY(saved.bold() && saved.italic() && saved.underline());
    QCOMPARE(saved.pointSize(), 15);
    QCOMPARE(saved.family(), QStringLiteral("Liberation Mono"));
    QVERIFY(changes.isEmpty());
}

void TestPaintedButtonProperties::fontSizeRoundsHalvesToEven_data()
{
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<int>("fontSize");
    QTest::newRow("9.75") << 9.75 << 10;
    QTest::newRow("8.25") << 8.25 << 8;
    QTest::newRow("10.5") << 10.5 << 10;
    QTest::newRow("11.5") << 11.5 << 12;
}

void TestPaintedButtonProperties::fontSizeRoundsHalvesToEven()
{
    QFETCH(double, pointSize);
    QFETCH(int, fontSize);
    paintedButton button;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(pointSize);
    button.setFont(font);
    QCOMPARE(int(button.FontSize()), fontSize);
}

void TestPaintedButtonProperties::mousePointer_data()
{
    QTest::addColumn<qint32>("pointer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("shape");
    QTest::newRow("cross") << 2 << true << int(Qt::CrossCursor);
    QTest::newRow("size NE-SW") << 6 << true << int(Qt::SizeBDiagCursor);
    QTest::newRow("hourglass") << 11 << true << int(Qt::WaitCursor);
    QTest::newRow("custom without icon") << 99 << true << int(Qt::ArrowCursor);
    QTest::newRow("16-bit top") << 32767 << true << int(Qt::ArrowCursor);
    QTest::newRow("16-bit bottom") << -32768 << true << int(Qt::ArrowCursor);
    QTest::newRow("overflow") << 32768 << false << int(Qt::IBeamCursor);
    QTest::newRow("underflow") << -32769 << false << int(Qt::IBeamCursor);
}

void TestPaintedButtonProperties::mousePointer()
{
    QFETCH(qint32, pointer);
    QFETCH(bool, accepted);
    QFETCH(int, shape);
    paintedButton button;
    QVERIFY(button.setMousePointer(3));
    QSignalSpy changes(&button, &paintedButton::PropertyChanged);

    QCOMPARE(button.setMousePointer(pointer), accepted);
    QCOMPARE(button.MousePointer(), accepted ? pointer : 3);
    QCOMPARE(int(button.cursor().shape()), shape);
    QCOMPARE(changes.count(), accepted ? 1 : 0);
}

void TestPaintedButtonProperties::handPointerAndMouseIcon()
{
    paintedButton button;
    button.setMouseIcon(QPixmap::fromImage(picture(qRgb(200, 0, 0), 16)));
    QVERIFY(button.setMousePointer(99));
    QCOMPARE(button.cursor().shape(), Qt::BitmapCursor);

    button.setHandPointer(true);
    QCOMPARE(button.MousePointer(), 99);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);

    button.setHandPointer(false);
    QCOMPARE(button.MousePointer(), 1);
    QVERIFY(button.MouseIcon().isNull());
    QCOMPARE(button.cursor().shape(), Qt::ArrowCursor);
}

void TestPaintedButtonProperties::focusBoxFollowsButtonType_data()
{
    QTest::addColumn<int>("buttonType");
    QTest::addColumn<QRect>("focusBox");
    QTest::newRow("6") << 6 << QRect(4, 4, 92, 22);
    QTest::newRow("7") << 7 << QRect(3, 3, 94, 24);
    QTest::newRow("13") << 13 << QRect(3, 3, 94, 24);
    QTest::newRow("14") << 14 << QRect(6, 6, 90, 20);
    QTest::newRow("out of range") << 40 << QRect(4, 4, 92, 22);
}

void TestPaintedButtonProperties::focusBoxFollowsButtonType()
{
    QFETCH(int, buttonType);
    QFETCH(QRect, focusBox);
    paintedButton button;
    button.resize(100, 30);
    button.setButtonType(buttonType);
    QCOMPARE(button.focusBox(), focusBox);
}

void TestPaintedButtonProperties::savedEntries_data()
{
    QTest::addColumn<bool>("normal");
    QTest::addColumn<bool>("over");
    QTest::addColumn<QStringList>("keys");
    const QStringList head{"BTYPE", "TX",   "ENAB",  "FONT", "COLTYPE", "FOCUSR", "BCOL",
                           "BCOLO", "FCOL", "FCOLO", "MCOL", "MPTR",    "MICON"};
    const QStringList tail{"UMCOL", "SOFT", "PICPOS", "NGREY", "FX", "HAND", "CHECK", "VALUE"};
    QTest::newRow("no pictures") << false << false << head + tail;
    QTest::newRow("picture over") << false << true << head + QStringList{"PICH"} + tail;
    QTest::newRow("both pictures") << true << true << head + QStringList{"PICN", "PICH"} + tail;
}

void TestPaintedButtonProperties::savedEntries()
{
    QFETCH(bool, normal);
    QFETCH(bool, over);
    QFETCH(QStringList, keys);
    paintedButton button;
    if (normal)
        button.setPictureNormal(picture(qRgb(1, 2, 3)));
    if (over)
        button.setPictureOver(picture(qRgb(4, 5, 6)));
    PropertyBag bag;
    button.WriteProperties(bag);
    QCOMPARE(bag.keys(), keys);
}

void TestPaintedButtonProperties::everySettingSurvivesSaveAndRestore()
{
    paintedButton saved;
    makeBusy(saved);
    PropertyBag bag;
    saved.WriteProperties(bag);

    bool ok = false;
    paintedButton restored;
    restored.ReadProperties(PropertyBag::fromText(bag.toText(), &ok));
    QVERIFY(ok);
    // Every value differs from its default and from the others, so a mixed-up member shows.
    PropertyBag again;
    restored.WriteProperties(again);
    QCOMPARE(again.toText(), bag.toText());
    QCOMPARE(restored.BackOver(), 0x445566u);
    QCOMPARE(restored.PictureOver().pixel(0, 0), qRgb(0, 200, 0));
    // What the restore sets up beyond the stored values.
    QVERIFY(!restored.isEnabled());
    QCOMPARE(restored.shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    QCOMPARE(restored.pictureSize(), QSize(6, 6));
    QCOMPARE(restored.cursor().shape(), Qt::PointingHandCursor);
}

void TestPaintedButtonProperties::handOverridesSavedPointerAndIcon_data()
{
    QTest::addColumn<bool>("hand");
    QTest::addColumn<int>("pointer");
    QTest::addColumn<int>("shape");
    QTest::newRow("HAND False") << false << 1 << int(Qt::ArrowCursor);
    QTest::newRow("HAND True") << true << 99 << int(Qt::PointingHandCursor);
}

void TestPaintedButtonProperties::handOverridesSavedPointerAndIcon()
{
    QFETCH(bool, hand);
    QFETCH(int, pointer);
    QFETCH(int, shape);
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("MPTR"), QVariant::fromValue(qint16(11)));
    bag.WriteProperty(QStringLiteral("MICON"), picture(qRgb(7, 7, 7)));
    bag.WriteProperty(QStringLiteral("HAND"), hand);
    paintedButton button;
    QSignalSpy changes(&button, &paintedButton::PropertyChanged);

    button.ReadProperties(bag);
    QCOMPARE(button.MousePointer(), pointer);
    QVERIFY(button.MouseIcon().isNull());
    QCOMPARE(int(button.cursor().shape()), shape);
    // HAND goes through its property write, notification included.
    QCOMPARE(keysOf(changes), QStringList{"HAND"});
}

void TestPaintedButtonProperties::emptyBagRestoresDefaultsWithoutBuildingThePalette()
{
    paintedButton button;
    makeBusy(button);
    button.show();
    const QImage face = button.grab().toImage();
    QCOMPARE(button.buttonPalette().FaceColor, 0xC0C0C0u);

    button.ReadProperties(PropertyBag());
    QCOMPARE(button.ButtonType(), 2);
    QCOMPARE(button.Caption(), QString());
    QVERIFY(button.Enabled() && button.isEnabled());
    QCOMPARE(button.Font().family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(button.ColorScheme(), 1);
    QVERIFY(button.ShowFocusRect() && button.UseMaskColor());
    QCOMPARE(button.BackColor(), 0xC8D0D4u);
    QCOMPARE(button.BackOver(), 0xC8D0D4u);
    QCOMPARE(button.ForeColor(), 0x201810u);
    QCOMPARE(button.ForeOver(), 0x201810u);
    QCOMPARE(button.MaskColor(), 0xC0C0C0u);
    QCOMPARE(button.MousePointer(), 1);
    QVERIFY(button.PictureNormal().isNull() && button.PictureOver().isNull());
    QCOMPARE(button.pictureSize(), QSize(0, 0));
    QCOMPARE(button.PicturePosition(), 0);
    QCOMPARE(button.SpecialEffect(), 0);
    QVERIFY(!button.SoftBevel() && !button.UseGreyscale() && !button.HandPointer());
    QVERIFY(!button.CheckBoxBehaviour() && !button.Value());
    // The palette and the face wait for the next show or Refresh.
    QCOMPARE(button.buttonPalette().FaceColor, 0xC0C0C0u);
    QCOMPARE(button.grab().toImage(), face);

    button.Refresh();
    QCOMPARE(button.buttonPalette().FaceColor, 0xC8D0D4u);
}

QTEST_MAIN(TestPaintedButtonProperties)
#include "tst_paintedbutton_properties.moc"
