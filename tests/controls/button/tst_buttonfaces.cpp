#include "controls/button/caption.h"
#include "controls/button/faces.h"
#include "controls/button/pictures.h"
#include "controls/button/surface.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTest>

namespace {

// The fixed grey set, so every colour the tables derive is a constant written below.
constexpr quint32 face = 0xC0C0C0, light = 0xDFDFDF, hi = 0xFFFFFF, shadow = 0x808080,
                  dark = 0x000000, selection = 0x800000, selectionLight = 0xD1ADAD,
                  faceLight = 0xF0F0F0;
constexpr quint32 text = 0x0000C0, textOver = 0xC00000;

enum Look { Hover = 1, Down = 2, Disabled = 4, Focused = 8, Default = 16 };

ButtonFace greyFace(int type, int look, QSize size)
{
    ButtonFace f;
    f.settings.ButtonType = type;
    f.state = look & Down ? 2 : 0;
    f.enabled = !(look & Disabled);
    f.mouseInside = look & Hover;
    f.focused = look & Focused;
    f.displayAsDefault = look & Default;
    f.settings.ColorScheme = 3;
    f.colours = {face,      light,          hi,   shadow,   dark, text, textOver,
                 selection, selectionLight, face, faceLight};
    f.client = size;
    f.focusBox = FocusBoxOf(type, size.width(), size.height());
    return f;
}

QImage paint(ButtonFace& f, qreal ratio = 1)
{
    const QSize size = f.client;
    QImage image(qRound(size.width() * ratio), qRound(size.height() * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    PaintSurface surface(image);
    PaintFace(surface, f);
    return image;
}

// The face a look should show, pixel by pixel. It is drawn from a list of runs such as
// "box 1 2 -3 2 FCFAFA;", inclusive, where a negative coordinate counts from the far edge.
struct Expect {
    Expect(int width, int height) : W(width), H(height), image(width, height, QImage::Format_RGB32)
    {
        image.fill(rgbFromBgr(face));
    }
    void box(int x0, int y0, int x1, int y1, quint32 c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                image.setPixel(x, y, rgbFromBgr(c));
    }
    void rim(int x0, int y0, int x1, int y1, quint32 c)
    {
        box(x0, y0, x1, y0, c);
        box(x0, y1, x1, y1, c);
        box(x0, y0, x0, y1, c);
        box(x1, y0, x1, y1, c);
    }
    // A ring `i` pixels from the edge; the bottom-right side wins at the corners.
    void ring(int i, quint32 topLeft, quint32 bottomRight)
    {
        box(i, i + 1, i, H - 2 - i, topLeft);
        box(i, i, W - 2 - i, i, topLeft);
        box(W - 1 - i, i, W - 1 - i, H - 2 - i, bottomRight);
        box(i, H - 1 - i, W - 1 - i, H - 1 - i, bottomRight);
    }
    // The dotted focus rectangle: border pixels with an even x + y inverted.
    void dots(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if ((x == x0 || x == x1 || y == y0 || y == y1) && (x + y) % 2 == 0)
                    image.setPixel(x, y, image.pixel(x, y) ^ 0x00FFFFFF);
    }
    void run(const QString& runs)
    {
        for (const QString& run : runs.split(';', Qt::SkipEmptyParts)) {
            const QStringList a = run.split(' ', Qt::SkipEmptyParts);
            const auto x = [&](int i) {
                return a[i].toInt() < 0 ? W + a[i].toInt() : a[i].toInt();
            };
            const auto y = [&](int i) {
                return a[i].toInt() < 0 ? H + a[i].toInt() : a[i].toInt();
            };
            const auto c = [&](int i) { return a[i].toUInt(nullptr, 16); };
            const QString& op = a[0];
            if (op == "box")
                box(x(1), y(2), x(3), y(4), c(5));
            else if (op == "rim")
                rim(x(1), y(2), x(3), y(4), c(5));
            else if (op == "px")
                box(x(1), y(2), x(1), y(2), c(3));
            else if (op == "corners")
                for (const QPoint p :
                     {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
                    box(p.x(), p.y(), p.x(), p.y(), c(1));
            else if (op == "bevel") { // two rings, the outer one `i` pixels from the edge
                ring(x(1), c(2), c(3));
                ring(x(1) + 1, c(4), c(5));
            } else if (op == "ring")
                ring(x(1), c(2), c(3));
            else if (op == "dots")
                dots(x(1), y(2), x(3), y(4));
            else if (op == "toolkit") // a pixel the toolkit's own drawing decides
                toolkit << QPoint(x(1), y(2));
            else if (op == "fade") {
                // "fade first step colours": one row each from `first` on, moving by `step`;
                // "colour*n" stands for n rows.
                int row = y(1);
                for (const QString& colour : a.mid(3)) {
                    const QStringList repeated = colour.split('*');
                    for (int n = repeated.value(1, "1").toInt(); n > 0; --n, row += a[2].toInt())
                        if (row >= 0 && row < H)
                            box(0, row, W - 1, row, repeated[0].toUInt(nullptr, 16));
                }
            } else
                QFAIL(qPrintable("unknown run " + run));
        }
    }

    const int W, H;
    QImage image;
    QList<QPoint> toolkit;
};

// Unsmoothed, so every caption pixel has exactly the colour it is drawn in.
QFont sharpFont(bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(14);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The pixels of a white image drawn on.
QList<QPoint> inkOf(const QImage& image)
{
    QList<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                pixels << QPoint(x, y);
    return pixels;
}

// The pixels a caption's glyphs cover when drawn at `box`.
QList<QPoint> glyphPixels(const QString& caption, const QRect& box, const QFont& font, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    PaintSurface surface(image);
    surface.PaintText(caption, box, font, 0x000000);
    return inkOf(image);
}

// A 90 x 33 face with a caption laid out as `measuring` measures it.
ButtonFace captionFace(int type, int look, const QString& caption, bool bold = false,
                       QImage measuring = QImage(1, 1, QImage::Format_RGB32))
{
    ButtonFace f = greyFace(type, look, QSize(90, 33));
    f.settings.Caption = caption;
    f.settings.Font = sharpFont(bold);
    f.layout = LayoutContent(f.settings, f.client, {}, &measuring);
    return f;
}

struct Layer {
    int offset; // from the caption box, along both axes
    quint32 colour;
};

// The logical pixel a device pixel lies in: logical pixel x covers the device pixels from
// round(x * ratio) up to, not including, round((x + 1) * ratio).
int logicalOf(int device, qreal ratio)
{
    int x = 0;
    while (qRound((x + 1) * ratio) <= device)
        ++x;
    return x;
}

} // namespace

class TestButtonFaces : public QObject {
    Q_OBJECT

private slots:
    void faces_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("looks");
        QTest::addColumn<QString>("runs");
        const auto row = [](const char* name, int type, QList<int> looks, const QString& runs) {
            QTest::newRow(name) << type << looks << runs;
        };
        const int up = 0;
        const QString frame = "rim 0 0 -1 -1 000000;", dots4 = "dots 4 4 -5 -5;",
                      dots3 = "dots 3 3 -4 -4;";
        const QString bevel2 = "bevel 0 FFFFFF 000000 DFDFDF 808080;",
                      pushed2 = "bevel 0 000000 FFFFFF 808080 DFDFDF;";
        const QString type1 = "bevel 1 FFFFFF 808080 FFFFFF 808080;" + frame;
        row("1 up", 1, {up, Hover, Default, Disabled, Disabled | Focused}, type1);
        row("1 focused", 1, {Focused, Hover | Focused}, type1 + dots4);
        row("1 down", 1, {Down}, "bevel 1 808080 FFFFFF 808080 FFFFFF;" + frame);

        const QString default2 = "bevel 1 FFFFFF 000000 DFDFDF 808080;" + frame;
        row("2 up", 2, {up, Hover, Focused, Disabled, Disabled | Default}, bevel2);
        row("2 default", 2, {Default}, default2);
        row("2 default, focused", 2, {Default | Focused}, default2 + dots4);
        row("2 down", 2, {Down, Down | Focused}, pushed2);
        row("2 down, default", 2, {Down | Default | Focused},
            frame + "rim 1 1 -2 -2 808080;" + dots4);

        // The gradients, row by row. Type 3 is checked 50 pixels high, where its amount steps by
        // 0.5 a row, rounded half to even (rows 1, 3, 5: 0, -2, -2), with blue moved by
        // blue x amount / 192 toward zero; pushed, upward from the bottom row, from FaceLight
        // darkened by 32 (C8D0D0). Type 14 is checked 29 high: from white, 2 a row.
        const QString fade3 =
            "fade 1 1 F0F0F0 EFEFEF EEEEEE*3 EDEDED EBECEC*3 EAEBEB E9EAEA*3 E8E9E9 E6E8E8*3 E5E7E7"
            " E4E6E6*3 E3E5E5 E1E4E4*3 E0E3E3 DFE2E2*3 DEE1E1 DCE0E0*3 DBDFDF DADEDE*3 D9DDDD"
            " D7DCDC*3 D6DBDB D5DADA*3 D4D9D9 D2D8D8*3 D1D7D7;";
        const QString fade3Down =
            "fade -1 -1 C8D0D0 C7CFCF C6CECE*3 C5CDCD C4CCCC*3 C3CBCB C2CACA*3 C1C9C9 C0C8C8*3"
            " BFC7C7 BEC6C6*3 BDC5C5 BCC4C4*3 BBC3C3 BAC2C2*3 B9C1C1 B8C0C0*3 B7BFBF B6BEBE*3"
            " B5BDBD B4BCBC*3 B3BBBB B2BABA*3 B1B9B9 AFB8B8*3 AEB7B7;";
        const QString fade14 =
            "fade 1 1 FDFDFD FBFBFB F9F9F9 F7F7F7 F5F5F5 F3F3F3 F1F1F1 EFEFEF EDEDED EBEBEB E9E9E9"
            " E7E7E7 E5E5E5 E3E3E3 E1E1E1 DFDFDF DDDDDD DBDBDB D9D9D9 D7D7D7 D5D5D5 D3D3D3 D1D1D1"
            " CFCFCF CDCDCD CBCBCB C9C9C9 C7C7C7 C5C5C5;";
        const QString type3 = fade3 + "rim 0 0 -1 -1 733C00; corners 7B4D10;";
        const auto rim3 = [&](const char* frame, const char* bottom, const char* top,
                              const char* second, const char* sides) {
            return type3 + QString("rim 1 2 -2 -3 %1; box 2 -2 -3 -2 %2; box 2 1 -3 1 %3;"
                                   "box 1 2 -2 2 %4; box 2 3 2 -4 %5; box -3 3 -3 -4 %5")
                               .arg(frame, bottom, top, second, sides);
        };
        row("3 up", 3, {up},
            type3 + "box 2 -2 -3 -2 B4C0C0; box 1 -3 -3 -3 C8D0D0; box -2 2 -2 -3 C3CCCC;"
                    "box -3 3 -3 -4 D2D8D8; box 2 1 -3 1 FFFFFF; box 1 2 -3 2 FCFAFA;"
                    "box 1 2 1 -3 EAEBEB; box 2 3 2 -4 E4E6E6");
        row("3 focused", 3, {Focused, Default},
            rim3("E7AE8C", "EF826B", "FFE7CE", "F7D7BD", "F0D1B5"));
        row("3 hover", 3, {Hover, Hover | Focused},
            rim3("31B2FF", "0096E7", "CEF3FF", "8CDBFF", "6BCBFF"));
        row("3 down", 3, {Down, Down | Focused},
            fade3Down + "rim 0 0 -1 -1 733C00; corners 7B4D10;"
                        "box 2 -2 -3 -2 D8E0E0; box 1 -3 -3 -3 D2DADA; box -2 2 -2 -3 CDD5D5;"
                        "box -3 3 -3 -4 F0F0F0; box 2 1 -3 1 A7B0B0; box 1 2 -3 2 AFB8B8;"
                        "box 1 2 1 -3 A7B0B0; box 2 2 2 -3 B2BABA");
        row("3 disabled", 3, {Disabled, Disabled | Hover | Focused},
            "box 0 0 -1 -1 D2D8D8; rim 0 0 -1 -1 879C9C; corners 96A8A8");

        row("4 up", 4, {up, Hover, Focused, Default, Disabled},
            "box 1 1 -2 -2 DFDFDF; rim 0 0 -1 -1 000000; corners 000000; px 1 2 C0C0C0;"
            "toolkit 1 1; toolkit 2 1; box 3 2 -4 2 FFFFFF; box 2 2 2 -4 FFFFFF; px 3 3 FFFFFF;"
            "box -3 1 -3 -4 C0C0C0; box 1 -3 -4 -3 C0C0C0; px -4 -4 C0C0C0;"
            "box -2 2 -2 -3 808080; box 2 -2 -3 -2 808080; px -3 -3 808080");
        row("4 down", 4, {Down, Down | Focused},
            "box 1 1 -2 -2 707070; rim 0 0 -1 -1 000000; rim 1 1 -2 -2 404040;"
            "rim 2 2 -3 -3 606060; px 2 2 404040; px 3 3 606060; corners 000000;"
            "box -3 1 -3 -4 808080; box 1 -3 -3 -3 808080; px -4 -4 808080;"
            "box -2 3 -2 -3 707070; box 3 -2 -3 -2 707070; px -2 -3 606060; px -3 -2 606060;"
            "px 2 -2 606060; px -2 2 606060");

        const QString type5 = "box 1 1 -1 -1 CCCCCC; rim 1 1 -1 -1 FFFFFF; rim 0 0 -2 -2 666666;"
                              "px 1 -2 9A9A9A; px -2 1 9A9A9A;";
        row("5 up", 5, {up, Hover, Default}, type5);
        // The caption box of the tests' caption at (10, 5), 20 x 12.
        row("5 focused", 5, {Focused}, type5 + "rim 8 4 31 17 CC9999");
        row("5 down", 5, {Down},
            "box 1 1 -2 -2 909090; rim 0 0 -2 -2 666666; box -1 1 -1 -1 FFFFFF;"
            "box 1 -1 -2 -1 FFFFFF");
        row("5 disabled", 5, {Disabled, Disabled | Focused}, "rim 0 0 -1 -1 808080");

        const QString type6 = "bevel 0 E7E7E7 808080 E7E7E7 808080;";
        row("6 up", 6, {up, Hover, Default, Disabled | Focused}, type6);
        row("6 focused", 6, {Focused}, type6 + dots4);
        row("6 down", 6, {Down}, "bevel 0 808080 E7E7E7 808080 E7E7E7");

        const QString thinUp = "ring 0 FFFFFF 808080;", thinDown = "ring 0 808080 FFFFFF;";
        row("7 up", 7, {up, Hover, Default, Disabled, Disabled | Focused}, thinUp);
        row("7 focused", 7, {Focused}, thinUp + dots3);
        row("7 down", 7, {Down}, thinDown);
        row("8 up", 8, {up, Default, Disabled, Disabled | Hover | Focused}, "");
        row("8 focused", 8, {Focused}, dots3);
        row("8 hover", 8, {Hover}, thinUp);
        row("8 down", 8, {Down}, thinDown);
        row("12 up", 12, {up, Disabled, Disabled | Hover}, "");
        row("12 focused", 12, {Focused}, dots3);
        row("12 hover", 12, {Hover}, bevel2);
        row("12 down", 12, {Down}, pushed2);

        row("9 up", 9, {up, Default, Disabled, Disabled | Hover | Focused}, "");
        row("9 focused", 9, {Focused}, dots3);
        row("9 hover", 9, {Hover}, "box 1 1 -1 -1 D1ADAD; rim 0 0 -1 -1 800000");
        row("9 down", 9, {Down}, "rim 0 0 -1 -1 800000");
        // TintColor(0x800000, 128): blue 127 x 128 / 255 + 128 = 191, red and green 128.
        row("9 down, hover", 9, {Down | Hover}, "box 0 0 -1 -1 BF8080; rim 0 0 -1 -1 800000");

        const QList<int> all{up, Hover, Down, Disabled, Focused, Default};
        row("10", 10, all, "");
        row("15", 15, all, "");

        const QString rims14 = "rim 0 0 -1 -1 4E4E4E; rim 1 1 -2 -2 B7B7B7; box 2 2 -3 3 FFFFFF;"
                               "box 2 4 3 -3 FFFFFF;";
        row("14 up", 14, {up, Default, Disabled, Disabled | Focused}, fade14 + rims14);
        row("14 focused", 14, {Focused}, fade14 + rims14 + "dots 6 6 -5 -5");
        row("14 hover", 14, {Hover}, "box 0 0 -1 -1 DFDFDF;" + rims14);
        row("14 down", 14, {Down},
            "box 1 1 -1 -1 B7B7B7; rim 0 0 -1 -1 505050; box 2 -2 -3 -2 FFFFFF;"
            "box -2 2 -2 -2 FFFFFF");
    }

    // Every pixel the tables fix, for each look; no caption, so no text pixels. At device pixel
    // ratios 2 and 1.5 each logical pixel is a block of whole device pixels of its colour; the
    // focus dots are drawn at device resolution and checked at ratio 1 only.
    void faces()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, looks);
        QFETCH(QString, runs);
        const QSize size = type == 3 ? QSize(33, 50) : QSize(40, type == 14 ? 29 : 25);
        Expect e(size.width(), size.height());
        e.run(runs);
        for (const qreal ratio : {1.0, 2.0, 1.5}) {
            for (const int look : looks) {
                if (ratio != 1 && (look & Focused))
                    continue;
                ButtonFace f = greyFace(type, look, size);
                f.layout.captionBox = QRect(10, 5, 20, 12);
                f.layout.captionBoxDown = QRect(11, 6, 20, 12);
                const QImage actual = paint(f, ratio);
                for (int dy = 0; dy < actual.height(); ++dy) {
                    for (int dx = 0; dx < actual.width(); ++dx) {
                        const QPoint at(logicalOf(dx, ratio), logicalOf(dy, ratio));
                        if (actual.pixel(dx, dy) != e.image.pixel(at) && !e.toolkit.contains(at))
                            QFAIL(qPrintable(QString::asprintf(
                                "look %d, ratio %g: device pixel (%d, %d) is %06X, expected %06X",
                                look, ratio, dx, dy, actual.pixel(dx, dy) & 0xFFFFFF,
                                e.image.pixel(at) & 0xFFFFFF)));
                    }
                }
            }
        }
    }

    // Letters at ratio 2 are drawn at device resolution: their edges fall on odd device
    // columns too, not only on the even ones an enlarged logical image would give.
    void captionAtDeviceResolution()
    {
        ButtonFace f =
            captionFace(2, 0, "Save Waves", false, PaintSurface::MeasuringImage(2, 3780));
        const QImage image = paint(f, 2);
        int oddEdges = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 1; x < image.width(); x += 2)
                if ((image.pixel(x, y) == rgbFromBgr(text)) !=
                    (image.pixel(x - 1, y) == rgbFromBgr(text)))
                    ++oddEdges;
        QVERIFY(oddEdges > 10);
        // The caption stays centred in the measured block.
        QVERIFY(qAbs(f.layout.captionBox.center().x() - 45) <= 1);
    }

    void transparentAndOvalFaces_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("look");
        QTest::addColumn<quint32>("centre");
        QTest::addColumn<quint32>("topMiddle");
        QTest::addColumn<quint32>("corner");
        // The copied background is 0x123456 everywhere.
        QTest::newRow("11 up") << 11 << 0 << 0x123456u << 0x123456u << 0x123456u;
        QTest::newRow("13 up") << 13 << 0 << face << face << face;
        QTest::newRow("13 hover") << 13 << int(Hover) << face << shadow << face;
        QTest::newRow("13 down") << 13 << int(Down) << 0xA0A0A0u << dark << face;
    }

    // The oval's outline is the toolkit's; its fill, its top and the corners outside are not.
    void transparentAndOvalFaces()
    {
        QFETCH(int, type);
        QFETCH(int, look);
        QFETCH(quint32, centre);
        QFETCH(quint32, topMiddle);
        QFETCH(quint32, corner);
        ButtonFace f = greyFace(type, look, QSize(41, 25));
        f.background = QImage(60, 40, QImage::Format_RGB32);
        f.background.fill(rgbFromBgr(0x123456));
        const QImage image = paint(f);
        QCOMPARE(image.pixel(20, 12), rgbFromBgr(centre));
        QCOMPARE(image.pixel(20, 0), rgbFromBgr(topMiddle));
        QCOMPARE(image.pixel(0, 0), rgbFromBgr(corner));
        QCOMPARE(image.pixel(40, 24), rgbFromBgr(corner));
    }

    void shapes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<QPoint>>("cut");
        const int W = 40, H = 25;
        const QList<QPoint> corners{{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}};
        const QList<QPoint> rounded{{0, 0},     {1, 0},         {0, 1},         {W - 2, 0},
                                    {W - 1, 0}, {W - 1, 1},     {0, H - 1},     {1, H - 1},
                                    {0, H - 2}, {W - 2, H - 1}, {W - 1, H - 1}, {W - 1, H - 2}};
        QTest::newRow("1") << 1 << corners;
        QTest::newRow("5") << 5 << QList<QPoint>{{0, H - 1}, {W - 1, 0}};
        QTest::newRow("3") << 3 << rounded;
        QTest::newRow("2") << 2 << QList<QPoint>{};
    }

    void shapes()
    {
        QFETCH(int, type);
        QFETCH(QList<QPoint>, cut);
        const QRegion shape = BuildShape(type, 40, 25);
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 40; ++x)
                QCOMPARE(shape.contains(QPoint(x, y)), !cut.contains(QPoint(x, y)));
    }

    void ovalShape()
    {
        const QRegion oval = BuildShape(13, 40, 25);
        QVERIFY(oval.contains(QPoint(20, 12)) && oval.contains(QPoint(20, 0)) &&
                oval.contains(QPoint(0, 12)));
        QVERIFY(!oval.contains(QPoint(0, 0)) && !oval.contains(QPoint(39, 24)) &&
                !oval.contains(QPoint(3, 1)));
    }

    void paintRequests_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<int>("painted");
        // The last paint showed state 0 with the caption "Next".
        QTest::newRow("same face") << 0 << false << "Next" << false << 25 << true << -1;
        QTest::newRow("same face, forced") << 0 << true << "Next" << false << 25 << true << 0;
        QTest::newRow("pushed") << 2 << false << "Next" << false << 25 << true << 2;
        QTest::newRow("new caption") << 0 << false << "Last" << false << 25 << true << 0;
        QTest::newRow("ticked check box") << 0 << false << "Next" << true << 25 << true << 2;
        QTest::newRow("no height") << 2 << true << "Next" << false << 0 << true << -1;
        QTest::newRow("drawing stopped") << 2 << true << "Next" << false << 25 << false << -1;
    }

    void paintRequests()
    {
        QFETCH(int, state);
        QFETCH(bool, force);
        QFETCH(QString, caption);
        QFETCH(bool, ticked);
        QFETCH(int, height);
        QFETCH(bool, allowed);
        QFETCH(int, painted);
        DrawnFace drawn{0, QStringLiteral("Next")};
        QCOMPARE(AcceptPaintRequest(drawn, state, force, caption, ticked, height, allowed),
                 painted);
        // A dropped request leaves the memory of the last paint as it was.
        QCOMPARE(drawn.state, painted < 0 ? 0 : painted);
        QCOMPARE(drawn.caption, painted < 0 ? QStringLiteral("Next") : caption);
    }

    void captionEffects_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("look");
        QTest::addColumn<int>("effect");
        QTest::addColumn<QList<Layer>>("layers"); // in drawing order
        QTest::addColumn<bool>("behindPicture");
        const auto row = [](const char* name, int type, int look, int effect, QList<Layer> layers,
                            bool behindPicture = false) {
            QTest::newRow(name) << type << look << effect << layers << behindPicture;
        };
        row("2 up, copies dark then light", 2, 0, 1, {{1, 0x989898}, {-1, 0xE8E8E8}, {0, text}});
        row("2 up, copies swapped", 2, 0, 2, {{1, 0xE8E8E8}, {-1, 0x989898}, {0, text}});
        row("2 up, dark copy only", 2, 0, 3, {{1, 0x989898}, {0, text}});
        row("2 pushed: all one pixel down-right", 2, Down, 1,
            {{2, 0x989898}, {0, 0xE8E8E8}, {1, textOver}});
        row("9 hover: copy from the selection tint", 9, Hover, 3, {{1, 0xA98585}, {0, textOver}});
        row("4 pushed: copy from the pushed face", 4, Down, 3, {{2, 0x484848}, {1, light}});
        row("5 pushed: no copies", 5, Down, 1, {{1, 0x909090}, {-1, 0x909090}, {0, textOver}});
        row("1 disabled, embossed", 1, Disabled, 1, {{1, hi}, {0, shadow}});
        row("5 disabled, flat", 5, Disabled, 0, {{0, shadow}});
        row("3 disabled", 3, Disabled, 0, {{0, 0x6E8888}});
        row("14 disabled", 14, Disabled, 0, {{1, hi}, {0, face}});
        row("14 pushed", 14, Down, 0, {{1, 0x4E4E4E}, {0, hi}});
        row("2 up, drawn again over the picture behind", 2, 0, 0, {{0, text}}, true);
    }

    // Each copy is the caption's glyphs moved by its offset, in its colour.
    void captionEffects()
    {
        QFETCH(int, type);
        QFETCH(int, look);
        QFETCH(int, effect);
        QFETCH(QList<Layer>, layers);
        QFETCH(bool, behindPicture);
        ButtonFace f = captionFace(type, look, "Hg");
        f.settings.SpecialEffect = effect;
        if (behindPicture) {
            f.settings.PicturePosition = 4;
            f.settings.PictureNormal = QImage(60, 25, QImage::Format_RGB32);
            f.settings.PictureNormal.fill(qRgb(0, 0xFF, 0));
            QImage measuring(1, 1, QImage::Format_RGB32);
            f.layout = LayoutContent(f.settings, f.client, {}, &measuring);
        }
        const QList<QPoint> glyphs =
            glyphPixels(f.settings.Caption, f.layout.captionBox, f.settings.Font, QSize(90, 33));
        QVERIFY(glyphs.size() > 20);
        QHash<QPoint, quint32> expected;
        for (const Layer& layer : layers)
            for (const QPoint p : glyphs)
                expected[p + QPoint(layer.offset, layer.offset)] = layer.colour;
        const QImage image = paint(f);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(image.pixel(it.key()), rgbFromBgr(it.value()));
        if (behindPicture)
            QCOMPARE(image.pixel(f.layout.picture + QPoint(1, 1)), qRgb(0, 0xFF, 0));
    }

    void captionLayout_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("pictureSize");
        QTest::addColumn<QString>("check");
        QTest::newRow("centred") << "Next" << 0 << 0 << "centred";
        QTest::newRow("wrapped block centred") << "Sort by Ascending Order" << 0 << 0 << "wrapped";
        QTest::newRow("picture left: 4 pixels apart") << "Next" << 0 << 16 << "left";
        QTest::newRow("picture right") << "Next" << 1 << 16 << "right";
        QTest::newRow("picture behind: centred") << "Next" << 4 << 16 << "middle";
        QTest::newRow("blank caption: picture centred") << "   " << 2 << 16 << "middle";
    }

    void captionLayout()
    {
        QFETCH(QString, caption);
        QFETCH(int, position);
        QFETCH(int, pictureSize);
        QFETCH(QString, check);
        const int W = check == "wrapped" ? 60 : 121, H = 50;
        ButtonSettings settings;
        settings.Caption = caption;
        settings.Font = sharpFont();
        settings.PicturePosition = position;
        if (pictureSize > 0)
            settings.PictureNormal = QImage(pictureSize, pictureSize, QImage::Format_RGB32);
        QImage device(1, 1, QImage::Format_RGB32);
        const QFontMetrics metrics(settings.Font, &device);
        const CaptionLayout layout = LayoutContent(settings, QSize(W, H), {}, &device);
        const QRect box = layout.captionBox;
        QCOMPARE(layout.captionBoxDown, box.translated(1, 1));
        if (check == "centred") {
            const int w = metrics.horizontalAdvance(caption), h = metrics.height();
            QCOMPARE(box, QRect(1 + (W - 1 - w) / 2, 1 + (H - 1 - h) / 2, w, h));
        } else if (check == "wrapped") {
            QVERIFY(box.height() > 2 * metrics.height());
            QCOMPARE(box.y(), 1 + (H - 1 - box.height()) / 2);
        } else if (check == "left") {
            QCOMPARE(layout.picture, QPoint(box.x() - 20, (H - 16) / 2));
            QCOMPARE(box.x(), 17 + (W - 17 - box.width()) / 2);
        } else if (check == "right") {
            QCOMPARE(layout.picture, QPoint(box.x() + box.width() + 4, (H - 16) / 2));
        } else {
            QCOMPARE(layout.picture, QPoint((W - 16) / 2, (H - 16) / 2));
        }
    }

    void accessKeyMarks()
    {
        const QSize size(90, 20);
        const QRect box(0, 0, 90, 20);
        const QFont font = sharpFont();
        // A doubled ampersand is one literal ampersand.
        QImage literal(size, QImage::Format_RGB32);
        literal.fill(Qt::white);
        {
            QPainter painter(&literal);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("A & B"));
        }
        QCOMPARE(glyphPixels(QStringLiteral("A && B"), box, font, size), inkOf(literal));
        // The marked letter gains an underline below the baseline, and no ampersand is drawn.
        const QList<QPoint> marked = glyphPixels(QStringLiteral("&Save"), box, font, size);
        const QList<QPoint> plain = glyphPixels(QStringLiteral("Save"), box, font, size);
        const int baseline = QFontMetrics(font).ascent();
        QVERIFY(marked.size() > plain.size());
        for (const QPoint p : plain)
            QVERIFY(marked.contains(p));
        for (const QPoint p : marked)
            QVERIFY(plain.contains(p) || p.y() >= baseline);
    }

    void defaultHighlightFaceHasBoldCaption()
    {
        const auto face = [](bool isDefault, bool bold) {
            ButtonFace f = captionFace(14, isDefault ? Default : 0, "Next", bold);
            return paint(f);
        };
        QCOMPARE(face(true, false), face(false, true));
        QVERIFY(face(true, false) != face(false, false));
    }

    void picturePixels_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<QRgb>>("expected"); // over a face of 0x0000FF (blue)
        // The picture: white, red, green, blue, the mask colour (grey); the sixth pixel shows as
        // the fifth.
        const QRgb blue = qRgb(0, 0, 255), ink = qRgb(1, 2, 3);
        const auto grey = [](int v) { return qRgb(v, v, v); };
        const auto row = [](const char* name, const char* how, QList<QRgb> expected) {
            QTest::newRow(name) << QString(how) << expected;
        };
        row("plain, mask clear", "plain",
            {grey(255), qRgb(255, 0, 0), qRgb(0, 255, 0), blue, blue});
        row("greyscale", "grey", {grey(254), grey(76), grey(150), grey(28), blue});
        // Grey 192 greys to round(58 + 113.28 + 21.12) = 192.
        row("greyscale, no mask", "grey nomask",
            {grey(254), grey(76), grey(150), grey(28), grey(192)});
        row("blend: two thirds picture", "blend",
            {qRgb(170, 170, 255), qRgb(170, 0, 85), qRgb(0, 170, 85), blue, blue});
        row("silhouette", "brush", {ink, ink, ink, ink, blue});
        row("dark pixels only", "dark", {blue, ink, ink, ink, blue});
    }

    // Six pixels in a row, a width that is not a multiple of 4, drawn at (1, 1). The last is
    // transparent: an icon's uncovered pixel shows the mask colour, masked or not as it is.
    void picturePixels()
    {
        QFETCH(QString, how);
        QFETCH(QList<QRgb>, expected);
        QImage picture(6, 2, QImage::Format_ARGB32);
        const QList<QRgb> colours{qRgb(255, 255, 255), qRgb(255, 0, 0),     qRgb(0, 255, 0),
                                  qRgb(0, 0, 255),     qRgb(192, 192, 192), qRgba(0, 0, 0, 0)};
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 2; ++y)
                picture.setPixel(x, y, colours[x]);
        QImage image(9, 4, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 255));
        PaintSurface surface(image);
        PictureCopy copy;
        copy.clearColor = how.contains("nomask") || how == "dark" ? -1 : 0xC0C0C0;
        copy.greyscale = how.startsWith("grey");
        copy.blend = how == "blend";
        if (how == "brush" || how == "dark")
            copy.brushColor = 0x030201;
        copy.darkOnly = how == "dark";
        CopyPicturePixels(surface, 1, 1, 6, 2, picture, copy);
        expected << expected.last();
        for (int x = 0; x < 6; ++x) {
            QCOMPARE(image.pixel(1 + x, 1), expected[x]);
            QCOMPARE(image.pixel(1 + x, 2), expected[x]);
        }
        QCOMPARE(image.pixel(7, 1), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(1, 3), qRgb(0, 0, 255));
    }

    void pictureLooks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("look");
        QTest::addColumn<bool>("withNormal");
        // Colours at the picture's place (10, 10) and one pixel right and down of it.
        QTest::addColumn<QRgb>("atPlace");
        QTest::addColumn<QRgb>("belowRight");
        const QRgb grey = qRgb(0xC0, 0xC0, 0xC0), green = qRgb(0, 0xFF, 0),
                   shade = qRgb(0x80, 0x80, 0x80);
        const auto row = [](const char* name, int type, int look, bool normal, QRgb at, QRgb next) {
            QTest::newRow(name) << type << look << normal << at << next;
        };
        // The picture is one dark pixel (0x202020) at its top-left, light elsewhere.
        row("up", 2, 0, true, qRgb(0x20, 0x20, 0x20), qRgb(0xF0, 0xF0, 0xF0));
        row("pushed: PictureOver one pixel down-right", 2, Down, true, grey, green);
        row("disabled, embossed: light pixels not drawn", 1, Disabled, true, shade,
            qRgb(255, 255, 255));
        row("disabled flat: shadow in place", 6, Disabled, true, shade, grey);
        row("no PictureNormal: nothing, even with PictureOver", 2, Hover, false, grey, grey);
        row("hover shows PictureOver", 2, Hover, true, green, green);
    }

    void pictureLooks()
    {
        QFETCH(int, type);
        QFETCH(int, look);
        QFETCH(bool, withNormal);
        QFETCH(QRgb, atPlace);
        QFETCH(QRgb, belowRight);
        ButtonFace f = greyFace(type, look, QSize(40, 30));
        QImage normal(4, 4, QImage::Format_RGB32);
        normal.fill(qRgb(0xF0, 0xF0, 0xF0));
        normal.setPixel(0, 0, qRgb(0x20, 0x20, 0x20));
        if (withNormal)
            f.settings.PictureNormal = normal;
        f.settings.PictureOver = QImage(4, 4, QImage::Format_RGB32);
        f.settings.PictureOver.fill(qRgb(0, 0xFF, 0));
        f.layout.picture = QPoint(10, 10);
        const QImage image = paint(f);
        QCOMPARE(image.pixel(10, 10), atPlace);
        QCOMPARE(image.pixel(11, 11), belowRight);
    }
};

QTEST_MAIN(TestButtonFaces)
#include "tst_buttonfaces.moc"
