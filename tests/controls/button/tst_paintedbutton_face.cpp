#include "controls/button/paintedbutton.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

namespace {

// Desktop colours: face 0xD4D0C8, text 0x102030, shadow 0x807870, grey text 0xA0A1A2.
QPalette desktopPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0xD4, 0xD0, 0xC8));
    palette.setColor(QPalette::ButtonText, QColor(0x10, 0x20, 0x30));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x78, 0x70));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0xA0, 0xA1, 0xA2));
    return palette;
}

// Unsmoothed glyphs, so caption pixels have exactly the text colour.
QFont captionFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(20);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QColor colourAt(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

int pixelsOf(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += colourAt(image, x, y) == colour;
    }
    return count;
}

void hover(paintedButton& button)
{
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), button.mapToGlobal(QPointF(3, 3)));
    QApplication::sendEvent(&button, &enter);
}

void unhover(paintedButton& button)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
}

} // namespace

class TestPaintedButtonFace : public QObject {
    Q_OBJECT

private slots:
    void init();
    void faceShowsThePalette_data();
    void faceShowsThePalette();
    void disabledCaptionIsGrey_data();
    void disabledCaptionIsGrey();
    void disableRefreshHoldsTheFace_data();
    void disableRefreshHoldsTheFace();
    void valueShowsOnlyAsCheckBox_data();
    void valueShowsOnlyAsCheckBox();
    void focusRectangle_data();
    void focusRectangle();
    void schemeTwoIgnoresDesktopColourChanges_data();
    void schemeTwoIgnoresDesktopColourChanges();
};

void TestPaintedButtonFace::init()
{
    QApplication::setPalette(desktopPalette());
}

void TestPaintedButtonFace::faceShowsThePalette_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<QColor>("frame");
    QTest::addColumn<QColor>("text");
    const QColor desktopFace(0xD4, 0xD0, 0xC8), desktopText(0x10, 0x20, 0x30);
    const QColor desktopShadow(0x80, 0x78, 0x70);
    QTest::newRow("system") << 1 << "away" << desktopFace << desktopShadow << desktopText;
    QTest::newRow("system, hovered") << 1 << "over" << desktopFace << desktopShadow << desktopText;
    // BackColor 0x336699 shaded by -64 gives the frame 0x002659.
    QTest::newRow("own") << 2 << "away" << QColor(0x99, 0x66, 0x33) << QColor(0x59, 0x26, 0x00)
                         << QColor(0xFF, 0, 0);
    // BackOver 0x00FF00 shaded by -64 gives 0x00BF00.
    QTest::newRow("own, hovered") << 2 << "over" << QColor(0, 0xFF, 0) << QColor(0, 0xBF, 0)
                                  << QColor(0, 0, 0xFF);
    QTest::newRow("own, left again") << 2 << "left" << QColor(0x99, 0x66, 0x33)
                                     << QColor(0x59, 0x26, 0x00) << QColor(0xFF, 0, 0);
    QTest::newRow("grey") << 3 << "over" << QColor(0xC0, 0xC0, 0xC0) << QColor(0x80, 0x80, 0x80)
                          << QColor(0, 0, 0);
}

void TestPaintedButtonFace::faceShowsThePalette()
{
    QFETCH(int, scheme);
    QFETCH(QString, mouse);
    QFETCH(QColor, face);
    QFETCH(QColor, frame);
    QFETCH(QColor, text);
    paintedButton button;
    button.resize(140, 40);
    button.setFont(captionFont());
    button.setCaption(QStringLiteral("MW"));
    button.setBackColor(0x336699);
    button.setBackOver(0x00FF00);
    button.setForeColor(0x0000FF);
    button.setForeOver(0xFF0000);
    button.setColorScheme(scheme);
    button.show();
    if (mouse != QLatin1String("away"))
        hover(button);
    if (mouse == QLatin1String("left"))
        unhover(button);

    const QImage image = button.grab().toImage();
    QCOMPARE(colourAt(image, 5, 20), face);
    QCOMPARE(colourAt(image, 0, 0), frame);
    QCOMPARE(colourAt(image, 139, 39), frame);
    QVERIFY(pixelsOf(image, text) > 20);
}

void TestPaintedButtonFace::disabledCaptionIsGrey_data()
{
    QTest::addColumn<bool>("throughQWidget");
    QTest::newRow("Enabled property") << false;
    QTest::newRow("QWidget::setEnabled") << true;
}

void TestPaintedButtonFace::disabledCaptionIsGrey()
{
    QFETCH(bool, throughQWidget);
    const QColor grey(0xA0, 0xA1, 0xA2), text(0x10, 0x20, 0x30);
    paintedButton button;
    button.resize(140, 40);
    button.setFont(captionFont());
    button.setCaption(QStringLiteral("MW"));
    button.show();
    const auto enable = [&](bool on) {
        if (throughQWidget)
            static_cast<QWidget&>(button).setEnabled(on);
        else
            button.setEnabled(on);
    };

    enable(false);
    QVERIFY(!button.Enabled());
    QImage image = button.grab().toImage();
    QVERIFY(pixelsOf(image, grey) > 20);
    QCOMPARE(pixelsOf(image, text), 0);

    enable(true);
    QVERIFY(button.Enabled());
    image = button.grab().toImage();
    QCOMPARE(pixelsOf(image, grey), 0);
    QVERIFY(pixelsOf(image, text) > 20);
}

void TestPaintedButtonFace::disableRefreshHoldsTheFace_data()
{
    QTest::addColumn<bool>("showAgain");
    QTest::newRow("Refresh") << false;
    QTest::newRow("shown again") << true;
}

void TestPaintedButtonFace::disableRefreshHoldsTheFace()
{
    QFETCH(bool, showAgain);
    paintedButton button;
    button.resize(140, 40);
    button.setCaption(QStringLiteral("Old"));
    button.show();
    const QImage before = button.grab().toImage();
    QCOMPARE(colourAt(before, 5, 20), QColor(0xD4, 0xD0, 0xC8));

    button.DisableRefresh();
    button.setColorScheme(2);
    button.setBackColor(0x336699);
    button.setCaption(QStringLiteral("New"));
    button.resize(150, 40);
    QCOMPARE(button.BackColor(), 0x336699u);
    QCOMPARE(button.grab().toImage().copy(0, 0, 140, 40), before);

    if (showAgain) {
        button.hide();
        button.show();
    } else {
        button.Refresh();
    }
    const QImage after = button.grab().toImage();
    QCOMPARE(colourAt(after, 5, 20), QColor(0x99, 0x66, 0x33));
    QCOMPARE(colourAt(after, 149, 39), QColor(0x59, 0x26, 0x00));
}

void TestPaintedButtonFace::valueShowsOnlyAsCheckBox_data()
{
    QTest::addColumn<bool>("checkBox");
    QTest::newRow("plain button") << false;
    QTest::newRow("check box") << true;
}

void TestPaintedButtonFace::valueShowsOnlyAsCheckBox()
{
    QFETCH(bool, checkBox);
    paintedButton button;
    button.resize(140, 40);
    button.setFont(captionFont());
    button.setCaption(QStringLiteral("MW"));
    button.setCheckBoxBehaviour(checkBox);
    button.show();
    const QImage up = button.grab().toImage();

    button.setValue(true);
    QVERIFY(button.Value());
    // A ticked check box shows the pushed face, its caption one pixel down and right.
    const QImage image = button.grab().toImage();
    QCOMPARE(image == up, !checkBox);
    if (checkBox)
        QCOMPARE(image.copy(2, 2, 130, 30), up.copy(1, 1, 130, 30));

    // Leaving check-box behaviour with Value still set gives the raised face back.
    button.setCheckBoxBehaviour(false);
    QCOMPARE(button.grab().toImage(), up);
}

void TestPaintedButtonFace::focusRectangle_data()
{
    QTest::addColumn<bool>("showFocusRect");
    QTest::addColumn<QColor>("corner");
    QTest::newRow("shown") << true << QColor(0x10, 0x20, 0x30);
    QTest::newRow("hidden") << false << QColor(0xD4, 0xD0, 0xC8);
}

void TestPaintedButtonFace::focusRectangle()
{
    QFETCH(bool, showFocusRect);
    QFETCH(QColor, corner);
    QWidget window;
    auto* button = new paintedButton(&window);
    button->setGeometry(10, 10, 100, 30);
    button->setShowFocusRect(showFocusRect);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    // The focus box lies 4 pixels inside the edge: (4, 4) to (95, 25).
    const QImage image = button->grab().toImage();
    QCOMPARE(colourAt(image, 4, 4), corner);
    QCOMPARE(colourAt(image, 95, 25), corner);
    QCOMPARE(colourAt(image, 5, 4), QColor(0xD4, 0xD0, 0xC8));
}

void TestPaintedButtonFace::schemeTwoIgnoresDesktopColourChanges_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<QColor>("face");
    QTest::newRow("system") << 1 << QColor(0x40, 0x50, 0x60);
    QTest::newRow("own colours from the desktop's") << 2 << QColor(0xD4, 0xD0, 0xC8);
}

void TestPaintedButtonFace::schemeTwoIgnoresDesktopColourChanges()
{
    QFETCH(int, scheme);
    QFETCH(QColor, face);
    paintedButton button;
    button.resize(100, 30);
    button.setBackColor(0x8000000F);
    button.setColorScheme(scheme);
    button.show();

    QPalette changed = desktopPalette();
    changed.setColor(QPalette::Button, QColor(0x40, 0x50, 0x60));
    QApplication::setPalette(changed);
    // Outside a running event loop the application sends no palette change; send its event.
    QEvent paletteChange(QEvent::PaletteChange);
    QApplication::sendEvent(&button, &paletteChange);
    QCOMPARE(colourAt(button.grab().toImage(), 5, 15), face);
    // A system colour reference is looked up again at the next palette build.
    button.Refresh();
    QCOMPARE(colourAt(button.grab().toImage(), 5, 15), QColor(0x40, 0x50, 0x60));
}

QTEST_MAIN(TestPaintedButtonFace)
#include "tst_paintedbutton_face.moc"
