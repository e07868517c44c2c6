#include "controls/button/buttonsettings.h"
#include "controls/button/propertybag.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

namespace {

QImage picture(QRgb color)
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QFont font(const QString& family, qreal size)
{
    QFont f(family);
    f.setPointSizeF(size);
    return f;
}

} // namespace

class TestButtonSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void buttonWithoutPicturesSavesTwentyOneEntries();
    void pictureOverIsSavedUnderPICH();
    void everyValueSurvivesSaveAndRestore();
    void missingKeysGiveTheirDefaults();
    void hoverColoursDefaultToTheColoursJustRead();
};

void TestButtonSettings::init()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0xD4, 0xD0, 0xC8));
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x18, 0x20));
    QGuiApplication::setPalette(palette);
}

void TestButtonSettings::buttonWithoutPicturesSavesTwentyOneEntries()
{
    ButtonSettings settings;
    settings.ButtonType = 3;
    settings.Caption = QStringLiteral("&Next");
    settings.Font = font(QStringLiteral("MS Sans Serif"), 8.25);
    settings.BackColor = settings.BackOver = 0x8000000F;
    settings.ForeColor = settings.ForeOver = 0x80000012;
    PropertyBag bag;
    writeButtonSettings(bag, settings);
    QCOMPARE(bag.count(), 21);
    QCOMPARE(bag.toText(), QStringLiteral("BTYPE\tint32\t3\n"
                                          "TX\tstring\t&Next\n"
                                          "ENAB\tbool\t-1\n"
                                          "FONT\tfont\tMS Sans Serif\t8.25\t0\t0\t0\t0\n"
                                          "COLTYPE\tint32\t1\n"
                                          "FOCUSR\tbool\t-1\n"
                                          "BCOL\tint32\t-2147483633\n"
                                          "BCOLO\tint32\t-2147483633\n"
                                          "FCOL\tint32\t-2147483630\n"
                                          "FCOLO\tint32\t-2147483630\n"
                                          "MCOL\tint32\t12632256\n"
                                          "MPTR\tint16\t0\n"
                                          "MICON\tpicture\t\n"
                                          "UMCOL\tbool\t-1\n"
                                          "SOFT\tbool\t0\n"
                                          "PICPOS\tint32\t0\n"
                                          "NGREY\tbool\t0\n"
                                          "FX\tint32\t0\n"
                                          "HAND\tbool\t0\n"
                                          "CHECK\tbool\t0\n"
                                          "VALUE\tbool\t0\n"));
}

void TestButtonSettings::pictureOverIsSavedUnderPICH()
{
    ButtonSettings settings;
    settings.PictureOver = picture(qRgba(0, 128, 255, 100));
    PropertyBag bag;
    writeButtonSettings(bag, settings);
    QCOMPARE(bag.count(), 22);
    QCOMPARE(bag.keys().indexOf(QStringLiteral("PICH")), 13);
    QVERIFY(!bag.contains(QStringLiteral("PICN")));
    QVERIFY(!bag.contains(QStringLiteral("PICO")));

    settings.PictureNormal = picture(qRgb(1, 2, 3));
    PropertyBag both;
    writeButtonSettings(both, settings);
    QCOMPARE(both.count(), 23);
    QCOMPARE(both.keys().mid(12, 3), (QStringList{QStringLiteral("MICON"), QStringLiteral("PICN"),
                                                  QStringLiteral("PICH")}));
    QVERIFY(!both.contains(QStringLiteral("PICO")));
}

void TestButtonSettings::everyValueSurvivesSaveAndRestore()
{
    ButtonSettings saved;
    saved.ButtonType = 14;
    saved.Caption = QStringLiteral("Save && E&xit\tnow");
    saved.Enabled = false;
    saved.Font = font(QStringLiteral("Arial"), 9.75);
    saved.Font.setBold(true);
    saved.Font.setItalic(true);
    saved.ColorScheme = 2;
    saved.ShowFocusRect = false;
    saved.BackColor = 0x112233;
    saved.BackOver = 0x445566;
    saved.ForeColor = 0x80000008;
    saved.ForeOver = 0x778899;
    saved.MaskColor = 0xFF00FF;
    saved.MousePointer = 99;
    saved.MouseIcon = picture(qRgba(9, 9, 9, 9));
    saved.PictureNormal = picture(qRgb(200, 0, 0));
    saved.PictureOver = picture(qRgba(0, 200, 0, 0));
    saved.UseMaskColor = false;
    saved.SoftBevel = true;
    saved.PicturePosition = 4;
    saved.UseGreyscale = true;
    saved.SpecialEffect = 2;
    saved.HandPointer = true;
    saved.CheckBoxBehaviour = true;
    saved.Value = true;

    PropertyBag bag;
    writeButtonSettings(bag, saved);
    bool ok = false;
    const ButtonSettings restored =
        readButtonSettings(PropertyBag::fromText(bag.toText(), &ok), ButtonSettings());
    QVERIFY(ok);
    // Every value differs from its default, so a key read under a wrong name shows here.
    PropertyBag again;
    writeButtonSettings(again, restored);
    QCOMPARE(again.toText(), bag.toText());
    QCOMPARE(restored.PictureOver.pixel(1, 0), qRgba(0, 200, 0, 0));
}

void TestButtonSettings::missingKeysGiveTheirDefaults()
{
    ButtonSettings current;
    current.ButtonType = 7;
    current.Caption = QStringLiteral("old");
    current.Font = font(QStringLiteral("Liberation Sans"), 10.5);
    current.ColorScheme = 3;
    current.BackColor = current.BackOver = current.ForeColor = current.ForeOver = 0x123456;
    current.MaskColor = 0;
    current.MousePointer = 5;
    current.PictureNormal = picture(qRgb(1, 1, 1));
    current.Enabled = current.ShowFocusRect = current.UseMaskColor = false;
    current.SoftBevel = current.UseGreyscale = current.HandPointer = true;
    current.CheckBoxBehaviour = current.Value = true;
    current.PicturePosition = current.SpecialEffect = 1;

    const ButtonSettings r = readButtonSettings(PropertyBag(), current);
    QCOMPARE(r.ButtonType, 2);
    QCOMPARE(r.Caption, QString());
    QCOMPARE(r.Enabled, true);
    QCOMPARE(r.Font.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(r.Font.pointSizeF(), 10.5);
    QCOMPARE(r.ColorScheme, 1);
    QCOMPARE(r.ShowFocusRect, true);
    QCOMPARE(r.BackColor, 0xC8D0D4u);
    QCOMPARE(r.BackOver, 0xC8D0D4u);
    QCOMPARE(r.ForeColor, 0x201810u);
    QCOMPARE(r.ForeOver, 0x201810u);
    QCOMPARE(r.MaskColor, 0xC0C0C0u);
    QCOMPARE(r.MousePointer, qint16(0));
    QVERIFY(r.MouseIcon.isNull());
    QVERIFY(r.PictureNormal.isNull());
    QVERIFY(r.PictureOver.isNull());
    QCOMPARE(r.UseMaskColor, true);
    QCOMPARE(r.SoftBevel, false);
    QCOMPARE(r.PicturePosition, 0);
    QCOMPARE(r.UseGreyscale, false);
    QCOMPARE(r.SpecialEffect, 0);
    QCOMPARE(r.HandPointer, false);
    QCOMPARE(r.CheckBoxBehaviour, false);
    QCOMPARE(r.Value, false);
}

void TestButtonSettings::hoverColoursDefaultToTheColoursJustRead()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("BCOL"), 0x123456);
    bag.WriteProperty(QStringLiteral("FCOL"), qint32(0x8000000D));
    const ButtonSettings r = readButtonSettings(bag, ButtonSettings());
    QCOMPARE(r.BackOver, 0x123456u);
    QCOMPARE(r.ForeOver, 0x8000000Du);
}

QTEST_MAIN(TestButtonSettings)
#include "tst_buttonsettings.moc"
