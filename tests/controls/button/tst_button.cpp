#include "controls/button/accesskey.h"
#include "controls/button/faces.h"
#include "controls/button/paintedbutton.h"
#include "controls/button/palette.h"
#include "controls/button/propertybag.h"
#include "controls/button/storedbuttons.h"

#include <QAccessible>
#include <QApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using Write = void (*)(paintedButton&);
Q_DECLARE_METATYPE(Write)
Q_DECLARE_METATYPE(ButtonSettings)

namespace {

// Desktop roles that differ from each other, so a wrong role shows: button face 0xC8D0D4,
// text 0x201810, shadow 0x707880.
QPalette testPalette(const QColor& face = QColor(0xD4, 0xD0, 0xC8))
{
    QPalette palette;
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x18, 0x20));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x78, 0x70));
    palette.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xF0));
    palette.setColor(QPalette::Midlight, QColor(0xE0, 0xE0, 0xD8));
    palette.setColor(QPalette::Shadow, QColor(0x30, 0x28, 0x20));
    palette.setColor(QPalette::Highlight, QColor(0x0A, 0x24, 0x6A));
    return palette;
}

ButtonSettings inputs(qint32 scheme, quint32 back, quint32 over = 0x8000000F)
{
    ButtonSettings s;
    s.ColorScheme = scheme;
    s.BackColor = back;
    s.BackOver = over;
    s.ForeColor = 0x112233;
    s.ForeOver = 0x0000FF;
    s.MaskColor = 0x8000000F;
    return s;
}

// The eleven colours in the order ButtonPalette declares them.
QList<quint32> fields(const ButtonPalette& p)
{
    return {p.FaceColor,        p.LightColor, p.HighlightColor, p.ShadowColor,
            p.DarkShadowColor,  p.TextColor,  p.TextOverColor,  p.SelectColor,
            p.SelectLightColor, p.MaskRGB,    p.FaceLightColor};
}

QImage picture(QRgb color, int size = 4)
{
    QImage image(size, size, QImage::Format_ARGB32);
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

// Every setting away from its default and from the others, HAND included, with characters
// the text form must escape and a picture with see-through pixels.
void makeBusy(paintedButton& b)
{
    b.resize(100, 30);
    b.setButtonType(14);
    b.setCaption(QStringLiteral("Save && E&xit\tC\\tD\\\nE\r"));
    b.setEnabled(false);
    QFont font(QStringLiteral("Liberation\tSerif\\"));
    font.setPointSizeF(9.75);
    font.setItalic(true);
    font.setStrikeOut(true);
    b.setFont(font);
    b.setColorScheme(3);
    b.setShowFocusRect(false);
    b.setBackColor(0x112233);
    b.setBackOver(0x445566);
    b.setForeColor(0x80000008);
    b.setForeOver(0x778899);
    b.setMaskColor(0xFF00FF);
    QImage translucent = picture(qRgba(200, 0, 0, 128), 6);
    translucent.setPixel(1, 1, qRgba(12, 34, 56, 0));
    b.setPictureNormal(translucent);
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

class TestButton : public QObject {
    Q_OBJECT

private slots:
    void init() { QApplication::setPalette(testPalette()); }

    void colourArithmetic_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<quint32>("color");
        QTest::addColumn<qint32>("amount");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("darker") << "shade" << 0x808080u << -64 << 0x404040u;
        QTest::newRow("darker, soft bevel") << "soft" << 0x808080u << -64 << 0x606060u;
        QTest::newRow("clamped at 255") << "shade" << 0xF0F0F0u << 31 << 0xFFFFFFu;
        QTest::newRow("clamped at 0") << "shade" << 0x101010u << -192 << 0x000000u;
        QTest::newRow("proportional blue") << "blue" << 0xC08040u << 48 << 0xF0B070u;
        QTest::newRow("proportional blue toward zero") << "blue" << 0x658040u << -48 << 0x4C5010u;
        QTest::newRow("selection tint") << "tint" << 0x800000u << 176 << 0xD7B0B0u;
    }

    void colourArithmetic()
    {
        QFETCH(QString, op);
        QFETCH(quint32, color);
        QFETCH(qint32, amount);
        QFETCH(quint32, expected);
        QCOMPARE(op == "tint" ? TintColor(color, amount)
                              : ShadeColor(color, amount, op == "blue", op == "soft"),
                 expected);
    }

    void palettes_data()
    {
        QTest::addColumn<ButtonSettings>("in");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<QList<quint32>>("expected");
        // Under testPalette(); the select light is TintColor(0x6A240A, 176).
        const QList<quint32> system{0xC8D0D4, 0xD8E0E0, 0xF0FFFF, 0x707880, 0x202830, 0x201810,
                                    0x201810, 0x6A240A, 0xD0BBB3, 0xC8D0D4, 0xF8FFFF};
        QTest::newRow("other: BackOver ignored")
            << inputs(99, 0x0000FF, 0xFF0000) << true << system;
        QTest::newRow("2 hovered: from BackOver")
            << inputs(2, 0x406080, 0xC0A0E0) << true
            << QList<quint32>{0xC0A0E0, 0xDFBFFF, 0xEFCFFF, 0x8060A0, 0x000020, 0x112233,
                              0x0000FF, 0x402060, 0xC0A0E0, 0xC8D0D4, 0xF0D0FF};
        ButtonSettings in = inputs(2, 0x60A0E0);
        in.ButtonType = 3;
        in.SoftBevel = true;
        in.ForeColor = 0x80000012;
        in.MaskColor = 0x01000000;
        QTest::newRow("2, type 3, soft, system text, bad mask")
            << in << false
            << QList<quint32>{0x60A0E0, 0x6FAFEF, 0x77B7F7, 0x4080C0, 0x004080, 0x201810,
                              0x0000FF, 0x2060A0, 0x60A0E0, 0x000000, 0x6CB8F8};
        QTest::newRow("3") << inputs(3, 0x123456, 0x00FF00) << true
                           << QList<quint32>{0xC0C0C0, 0xDFDFDF, 0xFFFFFF, 0x808080,
                                             0x000000, 0x000000, 0x000000, 0x800000,
                                             0xD1ADAD, 0xC8D0D4, 0xF0F0F0};
        QTest::newRow("4: the parent's colours")
            << inputs(4, 0x123456) << false
            << QList<quint32>{0xE0C0A0, 0xFFDFBF, 0xFFEFCF, 0xA08060, 0x200000, 0x000080,
                              0x000080, 0x6A240A, 0xD0BBB3, 0xC8D0D4, 0xFFF0D0};
    }

    void palettes()
    {
        QFETCH(ButtonSettings, in);
        QFETCH(bool, hovered);
        QFETCH(QList<quint32>, expected);
        const ParentColours parent{0xE0C0A0, 0x000080};
        QCOMPARE(fields(hovered ? BuildHoverPalette(in, parent) : BuildPalette(in, parent)),
                 expected);
    }

    void accessKey_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key");
        QTest::newRow("&Save") << "&Save" << QStringLiteral("s");
        QTest::newRow("Save && Exit") << "Save && Exit" << QString();
        QTest::newRow("&&Save &Now") << "&&Save &Now" << QStringLiteral("n");
        QTest::newRow("lone & last") << "Save&" << QString();
    }

    void accessKey()
    {
        QFETCH(QString, caption);
        QFETCH(QString, key);
        QCOMPARE(AccessKeyFromCaption(caption), key);
    }

    void malformedTextIsRejected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("int32 too large") << "BTYPE\tint32\t2147483648\n";
        QTest::newRow("truth value 1") << "ENAB\tbool\t1\n";
        QTest::newRow("unknown escape") << "TX\tstring\ta\\qb\n";
        QTest::newRow("font missing a field") << "FONT\tfont\tArial\t8.25\t-1\t0\t0\n";
        QTest::newRow("good line, then a bad one") << "A\tint32\t1\nB\tint32\tx\n";
    }

    void malformedTextIsRejected()
    {
        QFETCH(QString, text);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("old"), 1);
        QVERIFY(!PropertyBag::fromText(text, &bag).ok());
        QCOMPARE(bag.count(), 0);
    }

    void writeNotifiesAndRebuilds_data()
    {
        QTest::addColumn<Write>("write");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("rebuildsPalette");
        const auto row = [](const char* name, QStringList keys, bool rebuilds, Write write) {
            QTest::newRow(name) << write << keys << rebuilds;
        };
        row("BackColor", {"BCOL"}, true, [](paintedButton& b) { b.setBackColor(0x8000000F); });
        row("Refresh", {}, true, [](paintedButton& b) { b.Refresh(); });
        row("ButtonType", {"BTYPE"}, false, [](paintedButton& b) { b.setButtonType(3); });
        row("Caption", {"TX"}, false, [](paintedButton& b) { b.setCaption("&Next"); });
        row("FontBold", {}, false, [](paintedButton& b) { b.setFontBold(true); });
        row("PictureOver", {"PICO"}, false, [](paintedButton& b) { b.setPictureOver(picture(1)); });
    }

    void writeNotifiesAndRebuilds()
    {
        QFETCH(Write, write);
        QFETCH(QStringList, keys);
        QFETCH(bool, rebuildsPalette);
        paintedButton button;
        button.resize(100, 30);
        // A system colour reference in own colours is resolved anew only at a palette build.
        button.setColorScheme(2);
        button.setBackColor(0x8000000F);
        button.show();
        QApplication::setPalette(testPalette(QColor(0x40, 0x50, 0x60)));
        QSignalSpy changes(&button, &paintedButton::PropertyChanged);
        write(button);
        QCOMPARE(keysOf(changes), keys);
        QCOMPARE(button.buttonPalette().FaceColor, rebuildsPalette ? 0x605040u : 0xC8D0D4u);
    }

    // Type 5 in design mode takes the hover colours from the plain ones and a bold font.
    void designModeExtras()
    {
        for (const bool userMode : {false, true}) {
            paintedButton button;
            button.setBackOver(0x111111);
            button.setForeOver(0x222222);
            button.setUserMode(userMode);
            QSignalSpy changes(&button, &paintedButton::PropertyChanged);
            button.setBackColor(0x333333);
            button.setForeColor(0x444444);
            button.setButtonType(5);
            QCOMPARE(button.BackOver(), userMode ? 0x111111u : 0x333333u);
            QCOMPARE(button.ForeOver(), userMode ? 0x222222u : 0x444444u);
            QCOMPARE(button.FontBold(), !userMode);
            // The hover colours and the bold font follow silently.
            QCOMPARE(keysOf(changes), (QStringList{"BCOL", "FCOL", "BTYPE"}));
        }
    }

    void mousePointerOverflowChangesNothing_data()
    {
        QTest::addColumn<qint32>("pointer");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("16-bit top") << 32767 << true;
        QTest::newRow("overflow") << 32768 << false;
        QTest::newRow("underflow") << -32769 << false;
    }

    void mousePointerOverflowChangesNothing()
    {
        QFETCH(qint32, pointer);
        QFETCH(bool, accepted);
        paintedButton button;
        QVERIFY(button.setMousePointer(3));
        QSignalSpy changes(&button, &paintedButton::PropertyChanged);
        QCOMPARE(button.setMousePointer(pointer), accepted);
        QCOMPARE(button.MousePointer(), accepted ? pointer : 3);
        QCOMPARE(button.cursor().shape(), accepted ? Qt::ArrowCursor : Qt::IBeamCursor);
        QCOMPARE(changes.count(), accepted ? 1 : 0);
    }

    // Saved in a form's stored file and restored from it, every setting writes the same text
    // again; the sections the form cannot use are named, and the others restored all the same.
    void everySettingSurvivesSaveAndRestore()
    {
        paintedButton saved;
        makeBusy(saved);
        PropertyBag bag;
        saved.WriteProperties(bag);
        // Both pictures are kept, PictureOver under "PICH", never "PICO".
        QCOMPARE(bag.count(), 23);
        QVERIFY(bag.contains(QStringLiteral("PICH")) && !bag.contains(QStringLiteral("PICO")));
        QWidget form;
        paintedButton& button = *new paintedButton(&form);
        button.setObjectName("nextbtn");
        QTemporaryDir dir;
        QFile file(dir.filePath("form.buttons"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(("# saved\n[gone]\nFX\tint32\t1\n[nextbtn]\n" + bag.toText() +
                    "[bad]\nFX\tint32\t1\nFX\tint32\t2\n")
                       .toUtf8());
        file.close();
        QCOMPARE(restoreStoredButtons(&form, file.fileName()).message(),
                 "the form has no button gone; the settings of bad: line 2 is malformed");
        QVERIFY(!restoreStoredButtons(&form, dir.filePath("none")).ok());
        PropertyBag again;
        button.WriteProperties(again);
        QCOMPARE(again.toText(), bag.toText());
        QCOMPARE(button.BackOver(), 0x445566u);
        QCOMPARE(button.PictureOver().pixel(0, 0), qRgb(0, 200, 0));
        // What the restore sets up beyond the stored values.
        QVERIFY(!button.isEnabled());
        QCOMPARE(button.shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
        QCOMPARE(button.pictureSize(), QSize(6, 6));
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);

        // A bag of MPTR, MICON and HAND False only brings every other setting back to its default.
        form.show();
        PropertyBag few;
        few.WriteProperty(QStringLiteral("MPTR"), QVariant::fromValue(qint16(11)));
        few.WriteProperty(QStringLiteral("MICON"), picture(qRgb(7, 7, 7)));
        few.WriteProperty(QStringLiteral("HAND"), false);
        button.ReadProperties(few);
        QVERIFY(button.ButtonType() == 2 && button.Caption().isEmpty() &&
                button.ColorScheme() == 1);
        QVERIFY(button.Enabled() && button.isEnabled() && button.ShowFocusRect());
        QCOMPARE(button.Font().family(), QStringLiteral("Liberation\tSerif\\"));
        QCOMPARE((QList<quint32>{button.BackOver(), button.ForeColor(), button.MaskColor()}),
                 (QList<quint32>{0xC8D0D4, 0x201810, 0xC0C0C0}));
        QVERIFY(button.PictureOver().isNull() && button.MouseIcon().isNull());
        QCOMPARE(button.pictureSize(), QSize(0, 0));
        QVERIFY(!button.SoftBevel() && !button.Value() && button.SpecialEffect() == 0);
        // HAND decides pointer and icon, whatever MPTR and MICON held.
        QCOMPARE(button.MousePointer(), 1);
        QCOMPARE(button.cursor().shape(), Qt::ArrowCursor);
        // The palette of the scheme 3 just left waits for the next show or Refresh.
        QCOMPARE(button.buttonPalette().FaceColor, 0xC0C0C0u);
        button.Refresh();
        QCOMPARE(button.buttonPalette().FaceColor, 0xC8D0D4u);
    }

    // The look follows the container's default-button ambient, a face is held by DisableRefresh,
    // and after Refresh it shows the scheme-2 colours, hovered in BackOver.
    void faceShowsThePalette()
    {
        paintedButton button;
        button.resize(140, 40);
        // Unsmoothed glyphs, so caption pixels have exactly the text colour.
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(20);
        font.setStyleStrategy(QFont::NoAntialias);
        button.setFont(font);
        button.setCaption(QStringLiteral("MW"));
        button.show();
        QCOMPARE(button.faceImage().pixel(0, 0), qRgb(0xFF, 0xFF, 0xF0));
        button.setDisplayAsDefault(true);
        QCOMPARE(button.faceImage().pixel(0, 0), qRgb(0x30, 0x28, 0x20));
        button.setDisplayAsDefault(false);
        const QImage before = button.grab().toImage();
        QCOMPARE(before.pixel(5, 20), qRgb(0xD4, 0xD0, 0xC8));
        button.DisableRefresh();
        button.setColorScheme(2);
        button.setBackColor(0x336699);
        button.setBackOver(0x00FF00);
        button.setForeColor(0x0000FF);
        button.setForeOver(0xFF0000);
        button.setCaption(QStringLiteral("WM"));
        button.resize(150, 40);
        QCOMPARE(button.grab().toImage().copy(0, 0, 140, 40), before);
        const auto shows = [&button](QRgb face, QRgb highlight, QRgb darkShadow, QRgb text) {
            const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(image.pixel(5, 20), face);
            QCOMPARE(image.pixel(0, 0), highlight);
            QCOMPARE(image.pixel(149, 39), darkShadow);
            const auto pixels = reinterpret_cast<const QRgb*>(image.constBits());
            QVERIFY(std::count(pixels, pixels + image.width() * image.height(), text) > 20);
        };
        // BackColor 0x336699 shaded by +47 and by -192.
        button.Refresh();
        shows(qRgb(0x99, 0x66, 0x33), qRgb(0xC8, 0x95, 0x62), qRgb(0, 0, 0), qRgb(0xFF, 0, 0));
        // BackOver 0x00FF00 shaded by +47 and by -192.
        QTest::mouseMove(&button, QPoint(60, 20));
        shows(qRgb(0, 0xFF, 0), qRgb(0x2F, 0xFF, 0x2F), qRgb(0, 0x3F, 0), qRgb(0, 0, 0xFF));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        shows(qRgb(0x99, 0x66, 0x33), qRgb(0xC8, 0x95, 0x62), qRgb(0, 0, 0), qRgb(0xFF, 0, 0));
        // Own colours take no ambient change.
        button.setDisplayAsDefault(true);
        QCOMPARE(button.faceImage().pixel(0, 0), qRgb(0xC8, 0x95, 0x62));
    }

    void inputFaces_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("faces"); // the face after each step: r raised, p pushed
        QTest::addColumn<QStringList>("events");
        QTest::newRow("right button pushes nothing")
            << "press right, release right"
            << "rr" << QStringList{"MouseDown 2 0 10 10", "MouseUp 2 0 10 10"};
        QTest::newRow("left press, drag off and back, release")
            << "press left, drag off, drag on, release"
            << "prpr" << QStringList{"MouseDown 1 0 10 10", "MouseUp 1 0 10 10", "Click"};
        QTest::newRow("handler turns left into right")
            << "press left as right, release"
            << "rr" << QStringList{"MouseDown 2 0 10 10", "MouseUp 1 0 10 10"};
        QTest::newRow("double click: pushed, one Click")
            << "double click"
            << "r"
            << QStringList{"MouseDown 1 0 10 10", "MouseUp 1 0 10 10", "Click", "MouseDown 1 0 0 0",
                           "MouseUp 1 0 10 10"};
        QTest::newRow("hover comes back after a press on the button")
            << "move, press left, drag on, release, move"
            << "rpprr"
            << QStringList{"MouseOver", "MouseDown 1 0 10 10", "MouseUp 1 0 10 10", "Click",
                           "MouseOver"};
        // With check-box behaviour, as Space is what ticks a box.
        QTest::newRow("Space ticks the check box") << "Space down, Space up"
                                                   << "pp" << QStringList{"Click"};
        QTest::newRow("another key came last") << "Space down, A down, Space up"
                                               << "ppp" << QStringList{};
        QTest::newRow("handler clears the key") << "Space down as none, Space up"
                                                << "rr" << QStringList{};
    }

    // Real mouse and key events; the face is read after each step.
    void inputFaces()
    {
        QFETCH(QString, script);
        QFETCH(QString, faces);
        QFETCH(QStringList, events);
        QWidget window;
        // A framed double bevel in the grey set: its pixel (1, 1) is white raised, grey pushed.
        auto* button = new paintedButton(&window);
        button->setGeometry(0, 0, 80, 25);
        button->setButtonType(1);
        button->setColorScheme(3);
        const auto face = [button] {
            return button->faceImage().pixel(1, 1) == qRgb(0x80, 0x80, 0x80) ? 'p' : 'r';
        };
        const bool checkBox = script.contains("Space");
        button->setCheckBoxBehaviour(checkBox);
        window.show();
        // Click comes after the face is raised again.
        QString atClick;
        connect(button, &paintedButton::Click, [&] { atClick += face(); });
        if (script.contains("as right"))
            connect(button, &paintedButton::MouseDown,
                    [](qint16& b, qint16&, float&, float&) { b = 2; });
        if (script.contains("as none"))
            connect(button, &paintedButton::KeyDown, [](qint16& code, qint16&) { code = 0; });
        // Every event raised, in order, with the values the handlers above leave.
        QStringList log;
        const auto mouse = [&log](const char* name) {
            return [&log, name](qint16& b, qint16& s, float& x, float& y) {
                log << QStringLiteral("%1 %2 %3 %4 %5").arg(name).arg(b).arg(s).arg(x).arg(y);
            };
        };
        connect(button, &paintedButton::MouseDown, mouse("MouseDown"));
        connect(button, &paintedButton::MouseUp, mouse("MouseUp"));
        connect(button, &paintedButton::Click, [&log] { log << "Click"; });
        connect(button, &paintedButton::MouseOver, [&log] { log << "MouseOver"; });
        const QPoint on(10, 10), off(200, 10);
        QString seen;
        for (const QString& step : script.split(", ")) {
            if (step == "press right")
                QTest::mousePress(button, Qt::RightButton, {}, on);
            else if (step == "release right")
                QTest::mouseRelease(button, Qt::RightButton, {}, on);
            else if (step.startsWith("press left"))
                QTest::mousePress(button, Qt::LeftButton, {}, on);
            else if (step == "release")
                QTest::mouseRelease(button, Qt::LeftButton, {}, on);
            else if (step == "drag off")
                QTest::mouseMove(button, off);
            else if (step == "drag on")
                QTest::mouseMove(button, on);
            else if (step == "move") // to a new spot each time, so no move is a repeat
                QTest::mouseMove(button, on + QPoint(seen.size(), 1));
            else if (step == "double click") {
                QTest::mouseClick(button, Qt::LeftButton, {}, on);
                QTest::mouseDClick(button, Qt::LeftButton, {}, on);
                QTest::mouseRelease(button, Qt::LeftButton, {}, on);
            } else if (step.startsWith("Space down"))
                QTest::keyPress(button, Qt::Key_Space);
            else if (step == "A down")
                QTest::keyPress(button, Qt::Key_A);
            else if (step == "Space up")
                QTest::keyRelease(button, Qt::Key_Space);
            seen += face();
        }
        QCOMPARE(seen, faces);
        QCOMPARE(log, events);
        QCOMPARE(button->Value(), checkBox && events.contains("Click"));
        if (!checkBox) // a ticked box stays pushed
            QVERIFY(!atClick.contains('p'));
    }

    // Arrows move the focus; Alt + the access key, Space, the mouse and a screen reader's Press
    // click an enabled button. Screen readers see a push button named by its caption, with its
    // focus and whether it is enabled.
    void keysMouseAndScreenReaders()
    {
        QWidget window;
        QList<paintedButton*> buttons;
        for (int i = 0; i < 3; ++i) {
            buttons << new paintedButton(&window);
            buttons.last()->setGeometry(0, 30 * i, 80, 25);
            buttons.last()->setButtonType(1);
        }
        buttons[0]->setCaption(QStringLiteral("&Save && Exit"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        buttons[1]->setFocus();
        QTest::keyClick(buttons[1], Qt::Key_Down);
        QVERIFY(buttons[2]->hasFocus());
        QTest::keyClick(buttons[2], Qt::Key_Left);
        QTest::keyClick(buttons[1], Qt::Key_Up);
        QVERIFY(buttons[0]->hasFocus());
        QTest::keyClick(buttons[0], Qt::Key_Right);
        QVERIFY(buttons[1]->hasFocus());
        // The focused face shows its dotted rectangle: (4, 4) is inverted.
        QCOMPARE(buttons[1]->faceImage().pixel(4, 4) ^ 0x00FFFFFF,
                 buttons[0]->faceImage().pixel(4, 4));
        QAccessibleInterface* save = QAccessible::queryAccessibleInterface(buttons[0]);
        QCOMPARE(save->role(), QAccessible::Button);
        QCOMPARE(save->text(QAccessible::Name), QStringLiteral("Save & Exit"));
        QVERIFY(save->state().focusable && !save->state().focused && !save->state().disabled);
        QVERIFY(QAccessible::queryAccessibleInterface(buttons[1])->state().focused);
        const QString press = QAccessibleActionInterface::pressAction();
        QCOMPARE(save->actionInterface()->actionNames().value(0), press);
        QSignalSpy clicks(buttons[0], &paintedButton::Click);
        // Press clicks at once, as a key does.
        const auto clickEveryWay = [&](int clicksAfterPress) {
            save->actionInterface()->doAction(press);
            QCOMPARE(clicks.count(), clicksAfterPress);
            QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
            QTest::keyClick(buttons[0], Qt::Key_Space);
            QTest::mouseClick(buttons[0], Qt::LeftButton);
        };
        clickEveryWay(1);
        QTRY_COMPARE(clicks.count(), 4);
        buttons[0]->setEnabled(false);
        QVERIFY(save->state().disabled);
        clickEveryWay(4);
        QCOMPARE(clicks.count(), 4);
    }

    // A transparent button shows what lies behind it, the parent and a sibling under its left;
    // the window is shaped on every change of type and every resize.
    void windowShapeAndTransparency()
    {
        QWidget window;
        window.resize(200, 100);
        auto* under = new QWidget(&window);
        under->setGeometry(0, 0, 50, 100);
        for (const auto& [widget, colour] :
             {std::pair(&window, QColor(0, 160, 0)), std::pair(under, QColor(200, 0, 0))}) {
            widget->setAutoFillBackground(true);
            widget->setPalette(QPalette(colour, colour));
        }
        auto* button = new paintedButton(&window);
        button->setButtonType(11);
        button->setGeometry(30, 20, 60, 30);
        window.show();
        QCOMPARE(button->faceImage().pixel(5, 5), qRgb(200, 0, 0));
        QCOMPARE(button->faceImage().pixel(40, 25), qRgb(0, 160, 0));
        QCOMPARE(button->geometry(), QRect(30, 20, 60, 30));
        QCOMPARE(button->mask(), QRegion(0, 0, 60, 30));
        button->setButtonType(3);
        QCOMPARE(button->mask(), BuildShape(3, 60, 30));
        QVERIFY(!button->mask().contains(QPoint(1, 0)));
        button->resize(89, 25);
        QCOMPARE(button->mask(), BuildShape(3, 89, 25));
    }
};

QTEST_MAIN(TestButton)
#include "tst_button.moc"
