#include "controls/button/palette.h"
#include "controls/button/syscolors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

Q_DECLARE_METATYPE(PaletteInputs)
Q_DECLARE_METATYPE(ButtonPalette)

namespace {

// A system palette whose roles differ from each other, so a wrong role shows.
QPalette testPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0xD4, 0xD0, 0xC8));
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x18, 0x20));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x78, 0x70));
    palette.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xF0));
    palette.setColor(QPalette::Midlight, QColor(0xE0, 0xE0, 0xD8));
    palette.setColor(QPalette::Shadow, QColor(0x30, 0x28, 0x20));
    palette.setColor(QPalette::Highlight, QColor(0x0A, 0x24, 0x6A));
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xFE));
    palette.setColor(QPalette::Text, QColor(0x01, 0x02, 0x03));
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0xA0, 0xA1, 0xA2));
    return palette;
}

PaletteInputs inputs(qint32 scheme, qint32 type = 2, bool soft = false)
{
    PaletteInputs in;
    in.ColorScheme = scheme;
    in.ButtonType = type;
    in.SoftBevel = soft;
    return in;
}

// Palettes below list FaceColor, LightColor, HighlightColor, ShadowColor, DarkShadowColor,
// TextColor, TextOverColor, SelectColor, SelectLightColor, MaskRGB, FaceLightColor.

// The palette of the system schemes under testPalette(), worked out by hand: the select light
// is TintColor(0x6A240A, 176) = 0xD0BBB3, the face light 0xC8D0D4 lightened by 48.
const ButtonPalette systemPalette{0xC8D0D4, 0xD8E0E0, 0xF0FFFF, 0x707880, 0x202830, 0x201810,
                                  0x201810, 0x6A240A, 0xD0BBB3, 0xC0C0C0, 0xF8FFFF};

} // namespace

class TestButtonPalette : public QObject {
    Q_OBJECT

private slots:
    void init();
    void shadeColor_data();
    void shadeColor();
    void tintColor_data();
    void tintColor();
    void systemColors_data();
    void systemColors();
    void convertsBetweenBgrAndQColor();
    void resolveColor_data();
    void resolveColor();
    void palettes_data();
    void palettes();
    void systemColourReferenceIsResolvedAtEveryBuild();
};

void TestButtonPalette::init()
{
    QGuiApplication::setPalette(testPalette());
}

void TestButtonPalette::shadeColor_data()
{
    QTest::addColumn<quint32>("color");
    QTest::addColumn<qint32>("amount");
    QTest::addColumn<bool>("proportionalBlue");
    QTest::addColumn<bool>("softBevel");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("darker") << 0x808080u << -64 << false << false << 0x404040u;
    QTest::newRow("darker, soft") << 0x808080u << -64 << false << true << 0x606060u;
    QTest::newRow("clamped at 255") << 0xF0F0F0u << 31 << false << false << 0xFFFFFFu;
    QTest::newRow("clamped at 0") << 0x101010u << -192 << false << false << 0x000000u;
    QTest::newRow("only the overflowing channel clamped")
        << 0x10F020u << 31 << false << false << 0x2FFF3Fu;
    QTest::newRow("only the underflowing channel clamped")
        << 0x10F020u << -32 << false << false << 0x00D000u;
    QTest::newRow("soft halves 31 to 15") << 0x000000u << 31 << false << true << 0x0F0F0Fu;
    QTest::newRow("soft halves -5 to -2") << 0x101010u << -5 << false << true << 0x0E0E0Eu;
    QTest::newRow("proportional blue") << 0xC08040u << 48 << true << false << 0xF0B070u;
    QTest::newRow("proportional blue, soft") << 0xC08040u << 48 << true << true << 0xD89858u;
    QTest::newRow("proportional blue rounds toward zero")
        << 0x658040u << -48 << true << false << 0x4C5010u;
    QTest::newRow("proportional blue clamped") << 0xFF0000u << 48 << true << false << 0xFF3030u;
}

void TestButtonPalette::shadeColor()
{
    QFETCH(quint32, color);
    QFETCH(qint32, amount);
    QFETCH(bool, proportionalBlue);
    QFETCH(bool, softBevel);
    QFETCH(quint32, expected);
    QCOMPARE(ShadeColor(color, amount, proportionalBlue, softBevel), expected);
}

void TestButtonPalette::tintColor_data()
{
    QTest::addColumn<quint32>("color");
    QTest::addColumn<qint32>("amount");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("selection tint") << 0x800000u << 176 << 0xD7B0B0u;
    QTest::newRow("red channel rounds toward zero") << 0x000080u << 128 << 0x8080BFu;
    QTest::newRow("0 leaves the colour") << 0x123456u << 0 << 0x123456u;
    QTest::newRow("255 gives white") << 0x123456u << 255 << 0xFFFFFFu;
}

void TestButtonPalette::tintColor()
{
    QFETCH(quint32, color);
    QFETCH(qint32, amount);
    QFETCH(quint32, expected);
    QCOMPARE(TintColor(color, amount), expected);
}

void TestButtonPalette::systemColors_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("window (text box background)") << int(COLOR_WINDOW) << 0xFEFFFFu;
    QTest::newRow("window text") << int(COLOR_WINDOWTEXT) << 0x030201u;
    QTest::newRow("grey text") << int(COLOR_GRAYTEXT) << 0xA2A1A0u;
    QTest::newRow("tooltip background") << int(COLOR_INFOBK) << 0xE1FFFFu;
    QTest::newRow("desktop, fixed") << int(COLOR_BACKGROUND) << 0x808000u;
    QTest::newRow("no colour at 25") << 25 << 0x000000u;
    QTest::newRow("past the table") << 31 << 0x000000u;
    QTest::newRow("negative") << -1 << 0x000000u;
}

void TestButtonPalette::systemColors()
{
    QFETCH(int, index);
    QFETCH(quint32, expected);
    QCOMPARE(GetSysColor(index), expected);
}

void TestButtonPalette::convertsBetweenBgrAndQColor()
{
    QCOMPARE(colorFromBgr(0x80336699), QColor(0x99, 0x66, 0x33));
    QCOMPARE(bgrFromColor(QColor(0x99, 0x66, 0x33, 0x10)), 0x336699u);
}

void TestButtonPalette::resolveColor_data()
{
    QTest::addColumn<quint32>("color");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("plain RGB") << 0x123456u << 0x123456u;
    QTest::newRow("button face") << 0x8000000Fu << 0xC8D0D4u;
    QTest::newRow("unknown system index") << 0x80000040u << 0x000000u;
    QTest::newRow("palette index") << 0x01000005u << 0x000000u;
    QTest::newRow("other top byte") << 0xFF123456u << 0x000000u;
}

void TestButtonPalette::resolveColor()
{
    QFETCH(quint32, color);
    QFETCH(quint32, expected);
    QCOMPARE(ResolveColor(color), expected);
}

void TestButtonPalette::palettes_data()
{
    QTest::addColumn<PaletteInputs>("in");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<ButtonPalette>("expected");

    PaletteInputs in = inputs(1);
    QTest::newRow("scheme 1: system colours") << in << false << systemPalette;
    in.BackColor = in.BackOver = 0x0000FF;
    in.ForeColor = in.ForeOver = 0x00FF00;
    QTest::newRow("scheme 1 ignores the colour properties") << in << false << systemPalette;
    in.BackOver = 0xFF0000;
    in.ForeOver = 0xFF00FF;
    QTest::newRow("scheme 1 hovers in its normal colours") << in << true << systemPalette;
    QTest::newRow("scheme 0: system colours") << inputs(0) << false << systemPalette;
    QTest::newRow("unknown scheme: system colours") << inputs(99) << false << systemPalette;

    in = inputs(2);
    in.BackColor = 0xC0A0E0;
    in.ForeColor = 0x112233;
    in.ForeOver = 0x0000FF;
    in.MaskColor = 0xFF00FF;
    const ButtonPalette scheme2 =
        ButtonPalette{0xC0A0E0, 0xDFBFFF, 0xEFCFFF, 0x8060A0, 0x000020, 0x112233,
                      0x0000FF, 0x402060, 0xC0A0E0, 0xFF00FF, 0xF0D0FF};
    QTest::newRow("scheme 2") << in << false << scheme2;
    in.BackColor = 0x406080;
    in.BackOver = 0xC0A0E0;
    QTest::newRow("scheme 2 hovered: face from BackOver") << in << true << scheme2;

    in = inputs(2, 3, true);
    in.BackColor = 0x60A0E0;
    in.ForeColor = 0x80000012;
    in.ForeOver = 0x80000008;
    in.MaskColor = 0x01000000;
    QTest::newRow("scheme 2, type 3, soft, system text, unresolvable mask")
        << in << false << ButtonPalette{0x60A0E0, 0x6FAFEF, 0x77B7F7, 0x4080C0, 0x004080, 0x201810,
                                        0x030201, 0x2060A0, 0x60A0E0, 0x000000, 0x6CB8F8};

    in = inputs(3);
    in.BackColor = 0x123456;
    in.ForeColor = in.ForeOver = 0xFFFFFF;
    in.MaskColor = 0x8000000F;
    const ButtonPalette scheme3 =
        ButtonPalette{0xC0C0C0, 0xDFDFDF, 0xFFFFFF, 0x808080, 0x000000, 0x000000,
                      0x000000, 0x800000, 0xD1ADAD, 0xC8D0D4, 0xF0F0F0};
    QTest::newRow("scheme 3: fixed greys") << in << false << scheme3;
    in.BackOver = 0x00FF00;
    QTest::newRow("scheme 3 hovers in its normal colours") << in << true << scheme3;
    in.SoftBevel = true;
    ButtonPalette softScheme3 = scheme3;
    softScheme3.FaceLightColor = 0xD8D8D8;
    QTest::newRow("scheme 3, soft: only the face light moves") << in << false << softScheme3;

    in = inputs(4);
    in.ParentBackColor = 0xE0C0A0;
    in.ParentTextColor = 0x000080;
    in.BackColor = 0x123456;
    in.ForeOver = 0x00FF00;
    QTest::newRow("scheme 4: parent's colours")
        << in << false << ButtonPalette{0xE0C0A0, 0xFFDFBF, 0xFFEFCF, 0xA08060, 0x200000, 0x000080,
                                        0x000080, 0x6A240A, 0xD0BBB3, 0xC0C0C0, 0xFFF0D0};
}

void TestButtonPalette::palettes()
{
    QFETCH(PaletteInputs, in);
    QFETCH(bool, hovered);
    QFETCH(ButtonPalette, expected);
    const ButtonPalette actual = hovered ? BuildHoverPalette(in) : BuildPalette(in);
    QCOMPARE(actual.FaceColor, expected.FaceColor);
    QCOMPARE(actual.LightColor, expected.LightColor);
    QCOMPARE(actual.HighlightColor, expected.HighlightColor);
    QCOMPARE(actual.ShadowColor, expected.ShadowColor);
    QCOMPARE(actual.DarkShadowColor, expected.DarkShadowColor);
    QCOMPARE(actual.TextColor, expected.TextColor);
    QCOMPARE(actual.TextOverColor, expected.TextOverColor);
    QCOMPARE(actual.SelectColor, expected.SelectColor);
    QCOMPARE(actual.SelectLightColor, expected.SelectLightColor);
    QCOMPARE(actual.MaskRGB, expected.MaskRGB);
    QCOMPARE(actual.FaceLightColor, expected.FaceLightColor);
}

void TestButtonPalette::systemColourReferenceIsResolvedAtEveryBuild()
{
    PaletteInputs in = inputs(2);
    in.BackColor = 0x8000000F;
    QCOMPARE(BuildPalette(in).FaceColor, 0xC8D0D4u);
    QCOMPARE(BuildPalette(inputs(1)).FaceColor, 0xC8D0D4u);

    QPalette changed = testPalette();
    changed.setColor(QPalette::Button, QColor(0x33, 0x66, 0x99));
    QGuiApplication::setPalette(changed);
    QCOMPARE(BuildPalette(in).FaceColor, 0x996633u);
    QCOMPARE(BuildPalette(in).ShadowColor, 0x592600u);
    QCOMPARE(BuildPalette(inputs(1)).FaceColor, 0x996633u);
}

QTEST_MAIN(TestButtonPalette)
#include "tst_buttonpalette.moc"
