#include "controls/button/faces.h"

#include "controls/button/caption.h"
#include "controls/button/pictures.h"
#include "controls/button/surface.h"

#include <cmath>

namespace {

// Frame and inner corner colours of the gradient face, and its focused and hover rims.
constexpr quint32 gradientFrame = 0x733C00;
constexpr quint32 gradientCorner = 0x7B4D10;
constexpr quint32 type5CaptionBox = 0xCC9999;

struct Rim {
    quint32 frame, bottom, top, second, sides;
};
constexpr Rim focusedRim{0xE7AE8C, 0xEF826B, 0xFFE7CE, 0xF7D7BD, 0xF0D1B5};
constexpr Rim hoverRim{0x31B2FF, 0x0096E7, 0xCEF3FF, 0x8CDBFF, 0x6BCBFF};

// Draws one face; the names follow the face tables.
class FacePainter {
public:
    FacePainter(PaintSurface& surface, ButtonFace& face)
        : s(surface), f(face), settings(face.settings), c(face.colours), W(surface.width()),
          H(surface.height())
    {
    }

    void paint();

private:
    quint32 off(quint32 color, qint32 amount) const
    {
        return ShadeColor(color, amount, false, settings.SoftBevel);
    }
    quint32 offB(quint32 color, qint32 amount) const
    {
        return ShadeColor(color, amount, true, settings.SoftBevel);
    }
    void fill(int x, int y, int w, int h, quint32 color) { s.PaintBox(x, y, w, h, color, false); }
    void frame(int x, int y, int w, int h, quint32 color) { s.PaintBox(x, y, w, h, color, true); }
    void line(int x1, int y1, int x2, int y2, quint32 color)
    {
        s.PaintSegment(x1, y1, x2, y2, color);
    }
    void dot(int x, int y, quint32 color) { s.PaintDot(x, y, color); }
    void corners(quint32 color)
    {
        dot(1, 1, color);
        dot(1, H - 2, color);
        dot(W - 2, 1, color);
        dot(W - 2, H - 2, color);
    }
    void caption(int effect) { PaintCaption(s, f, effect); }
    int captionUp() const { return f.mouseInside ? 1 : 0; }
    void focus()
    {
        if (settings.ShowFocusRect && f.focused)
            s.PaintFocusRect(f.focusBox);
    }
    void bevel(int offset, quint32 outerTopLeft, quint32 outerBottomRight, quint32 innerTopLeft,
               quint32 innerBottomRight, bool singleRing = false);
    void ring(int offset, quint32 topLeft, quint32 bottomRight)
    {
        bevel(offset, topLeft, bottomRight, 0, 0, true);
    }
    void gradient(int k, quint32 base, bool proportionalBlue, bool upward);

    void type1();
    void type2();
    void type3();
    void type3Up();
    void type3Down();
    void type4();
    void type5();
    void type6();
    void thinBevel();
    void type9();
    void type11();
    void type13();
    void type14();
    void type14Up();
    void type14Rims();

    PaintSurface& s;
    ButtonFace& f;
    const ButtonSettings& settings;
    const ButtonPalette& c;
    const int W, H;
};

void FacePainter::bevel(int offset, quint32 outerTopLeft, quint32 outerBottomRight,
                        quint32 innerTopLeft, quint32 innerBottomRight, bool singleRing)
{
    const int a = std::abs(offset), r = W - 1 + offset, b = H - 1 + offset;
    line(a, b, a, a, outerTopLeft);
    line(a, a, r, a, outerTopLeft);
    line(r, a, r, b, outerBottomRight);
    line(r, b, a - 1, b, outerBottomRight);
    if (singleRing)
        return;
    line(a + 1, b - 1, a + 1, a + 1, innerTopLeft);
    line(a + 1, a + 1, r - 1, a + 1, innerTopLeft);
    line(r - 1, a + 1, r - 1, b - 1, innerBottomRight);
    line(r - 1, b - 1, a, b - 1, innerBottomRight);
}

// One row per pixel row, darkening by K over the height; `upward` starts from the bottom row.
void FacePainter::gradient(int k, quint32 base, bool proportionalBlue, bool upward)
{
    const float step = float(double(k) / H);
    for (int i = 1; i <= H; ++i) {
        const auto amount = qint32(std::nearbyint(-(double(step) * i)));
        const int y = upward ? H - i : i;
        line(0, y, W, y, ShadeColor(base, amount, proportionalBlue, settings.SoftBevel));
    }
}

void FacePainter::paint()
{
    fill(0, 0, W, H, c.FaceColor);
    switch (settings.ButtonType) {
    case 1:
        type1();
        break;
    case 2:
        type2();
        break;
    case 3:
        type3();
        break;
    case 4:
        type4();
        break;
    case 5:
        type5();
        break;
    case 6:
        type6();
        break;
    case 7:
    case 8:
    case 12:
        thinBevel();
        break;
    case 9:
        type9();
        break;
    case 11:
        type11();
        break;
    case 13:
        type13();
        break;
    case 14:
        type14();
        break;
    default:
        // Type 10 and unknown types show the face colour only.
        break;
    }
    PaintPicture(s, f, !f.enabled ? 2 : f.state == 0 ? 0 : 1);
}

void FacePainter::type1()
{
    const bool down = f.enabled && f.state == 2;
    caption(!f.enabled ? 3 : down ? 2 : captionUp());
    if (down)
        bevel(-1, c.ShadowColor, c.HighlightColor, c.ShadowColor, c.HighlightColor);
    else
        bevel(-1, c.HighlightColor, c.ShadowColor, c.HighlightColor, c.ShadowColor);
    frame(0, 0, W, H, c.DarkShadowColor);
    if (f.enabled)
        focus();
}

void FacePainter::type2()
{
    const bool defaultLook = settings.ShowFocusRect && f.displayAsDefault;
    if (!f.enabled) {
        caption(3);
        bevel(0, c.HighlightColor, c.DarkShadowColor, c.LightColor, c.ShadowColor);
    } else if (f.state == 0) {
        caption(captionUp());
        if (defaultLook) {
            bevel(-1, c.HighlightColor, c.DarkShadowColor, c.LightColor, c.ShadowColor);
            focus();
            frame(0, 0, W, H, c.DarkShadowColor);
        } else {
            bevel(0, c.HighlightColor, c.DarkShadowColor, c.LightColor, c.ShadowColor);
        }
    } else {
        caption(2);
        if (defaultLook) {
            frame(0, 0, W, H, c.DarkShadowColor);
            frame(1, 1, W - 2, H - 2, c.ShadowColor);
            focus();
        } else {
            bevel(0, c.DarkShadowColor, c.HighlightColor, c.ShadowColor, c.LightColor);
        }
    }
}

void FacePainter::type3()
{
    if (!f.enabled) {
        fill(0, 0, W, H, offB(c.FaceLightColor, -24));
        caption(5);
        frame(0, 0, W, H, offB(c.FaceLightColor, -84));
        corners(offB(c.FaceLightColor, -72));
    } else if (f.state == 0) {
        type3Up();
    } else {
        type3Down();
    }
}

void FacePainter::type3Up()
{
    const quint32 b = c.FaceLightColor;
    gradient(25, b, true, false);
    caption(captionUp());
    frame(0, 0, W, H, gradientFrame);
    corners(gradientCorner);
    if (!f.mouseInside && !((f.focused || f.displayAsDefault) && settings.ShowFocusRect)) {
        line(2, H - 2, W - 2, H - 2, offB(b, -48));
        line(1, H - 3, W - 2, H - 3, offB(b, -32));
        line(W - 2, 2, W - 2, H - 2, offB(b, -36));
        line(W - 3, 3, W - 3, H - 3, offB(b, -24));
        line(2, 1, W - 2, 1, offB(b, 16));
        line(1, 2, W - 2, 2, offB(b, 10));
        line(1, 2, 1, H - 2, offB(b, -5));
        line(2, 3, 2, H - 3, offB(b, -10));
        return;
    }
    // Under the mouse the warm rim wins over the cool focused one.
    const Rim& rim = f.mouseInside ? hoverRim : focusedRim;
    frame(1, 2, W - 2, H - 4, rim.frame);
    line(2, H - 2, W - 2, H - 2, rim.bottom);
    line(2, 1, W - 2, 1, rim.top);
    line(1, 2, W - 1, 2, rim.second);
    line(2, 3, 2, H - 3, rim.sides);
    line(W - 3, 3, W - 3, H - 3, rim.sides);
}

void FacePainter::type3Down()
{
    const quint32 b = offB(c.FaceLightColor, -32);
    gradient(25, b, true, true);
    caption(2);
    frame(0, 0, W, H, gradientFrame);
    corners(gradientCorner);
    line(2, H - 2, W - 2, H - 2, offB(b, 16));
    line(1, H - 3, W - 2, H - 3, offB(b, 10));
    line(W - 2, 2, W - 2, H - 2, offB(b, 5));
    line(W - 3, 3, W - 3, H - 3, c.FaceLightColor);
    line(2, 1, W - 2, 1, offB(b, -32));
    line(1, 2, W - 2, 2, offB(b, -24));
    line(1, 2, 1, H - 2, offB(b, -32));
    line(2, 2, 2, H - 2, offB(b, -22));
}

void FacePainter::type4()
{
    if (f.enabled && f.state == 2) {
        const quint32 sh = c.ShadowColor;
        fill(1, 1, W - 2, H - 2, off(sh, -16));
        // The pushed caption's effect copies shade from the pushed face.
        ButtonFace pushed = f;
        pushed.colours.FaceLightColor = off(sh, -16);
        PaintCaption(s, pushed, 2);
        f.drawnEffect = pushed.drawnEffect;
        frame(0, 0, W, H, c.DarkShadowColor);
        frame(1, 1, W - 2, H - 2, off(sh, -64));
        frame(2, 2, W - 4, H - 4, off(sh, -32));
        dot(2, 2, off(sh, -64));
        dot(3, 3, off(sh, -32));
        corners(c.DarkShadowColor);
        line(W - 3, 1, W - 3, H - 3, sh);
        line(1, H - 3, W - 2, H - 3, sh);
        dot(W - 4, H - 4, sh);
        line(W - 2, 3, W - 2, H - 2, off(sh, -16));
        line(3, H - 2, W - 2, H - 2, off(sh, -16));
        line(W - 2, H - 3, W - 4, H - 1, off(sh, -32));
        dot(2, H - 2, off(sh, -32));
        dot(W - 2, 2, off(sh, -32));
        return;
    }
    fill(1, 1, W - 2, H - 2, c.LightColor);
    caption(f.enabled ? captionUp() : 3);
    frame(0, 0, W, H, c.DarkShadowColor);
    corners(c.DarkShadowColor);
    line(1, 2, 2, 0, c.FaceColor);
    line(3, 2, W - 3, 2, c.HighlightColor);
    line(2, 2, 2, H - 3, c.HighlightColor);
    dot(3, 3, c.HighlightColor);
    line(W - 3, 1, W - 3, H - 3, c.FaceColor);
    line(1, H - 3, W - 3, H - 3, c.FaceColor);
    dot(W - 4, H - 4, c.FaceColor);
    line(W - 2, 2, W - 2, H - 2, c.ShadowColor);
    line(2, H - 2, W - 2, H - 2, c.ShadowColor);
    dot(W - 3, H - 3, c.ShadowColor);
}

void FacePainter::type5()
{
    if (!f.enabled) {
        caption(4);
        frame(0, 0, W, H, c.ShadowColor);
        return;
    }
    if (f.state == 0) {
        fill(1, 1, W - 1, H - 1, off(c.FaceColor, 12));
        caption(captionUp());
        frame(1, 1, W - 1, H - 1, c.HighlightColor);
        frame(0, 0, W - 1, H - 1, off(c.ShadowColor, -26));
        dot(1, H - 2, off(c.ShadowColor, 26));
        dot(W - 2, 1, off(c.ShadowColor, 26));
    } else {
        fill(1, 1, W - 2, H - 2, off(c.ShadowColor, 16));
        frame(0, 0, W - 1, H - 1, off(c.ShadowColor, -26));
        line(W - 1, 1, W - 1, H, c.HighlightColor);
        line(1, H - 1, W - 1, H - 1, c.HighlightColor);
        s.PaintText(settings.Caption, f.layout.captionBox, settings.Font, c.TextOverColor);
    }
    if (f.focused && settings.ShowFocusRect) {
        const QRect& box = f.layout.captionBox;
        frame(box.x() - 2, box.y() - 1, box.width() + 4, box.height() + 2, type5CaptionBox);
    }
}

void FacePainter::type6()
{
    const quint32 l8 = off(c.LightColor, 8);
    if (!f.enabled) {
        caption(4);
        bevel(0, l8, c.ShadowColor, l8, c.ShadowColor);
    } else if (f.state == 0) {
        caption(captionUp());
        bevel(0, l8, c.ShadowColor, l8, c.ShadowColor);
        focus();
    } else {
        caption(2);
        bevel(0, c.ShadowColor, l8, c.ShadowColor, l8);
        focus();
    }
}

// Types 7, 8 and 12: a thin bevel always (7) or only under the mouse and pushed (8, 12).
void FacePainter::thinBevel()
{
    const int type = settings.ButtonType;
    if (!f.enabled) {
        caption(3);
        if (type == 7)
            ring(0, c.HighlightColor, c.ShadowColor);
        return;
    }
    if (f.state == 0) {
        caption(captionUp());
        if (type == 7 || (type == 8 && f.mouseInside))
            ring(0, c.HighlightColor, c.ShadowColor);
        else if (type == 12 && f.mouseInside)
            bevel(0, c.HighlightColor, c.DarkShadowColor, c.LightColor, c.ShadowColor);
    } else {
        caption(2);
        if (type == 12)
            bevel(0, c.DarkShadowColor, c.HighlightColor, c.ShadowColor, c.LightColor);
        else
            ring(0, c.ShadowColor, c.HighlightColor);
    }
    focus();
}

void FacePainter::type9()
{
    if (!f.enabled) {
        caption(4);
        return;
    }
    if (f.state == 0) {
        if (f.mouseInside)
            fill(1, 1, W, H, c.SelectLightColor);
        caption(captionUp());
        if (f.mouseInside)
            frame(0, 0, W, H, c.SelectColor);
    } else {
        if (f.mouseInside)
            fill(0, 0, W, H,
                 settings.ColorScheme == 2 ? off(c.SelectLightColor, -32)
                                           : TintColor(c.SelectColor, 128));
        caption(2);
        frame(0, 0, W, H, c.SelectColor);
    }
    focus();
}

void FacePainter::type11()
{
    s.CopyBlock(f.background, W, H);
    if (!f.enabled) {
        caption(3);
        return;
    }
    caption(f.state == 0 ? captionUp() : 2);
    focus();
}

void FacePainter::type13()
{
    if (!f.enabled) {
        caption(3);
    } else if (f.state == 0) {
        s.PaintOval(0, 0, W, H, f.mouseInside ? c.ShadowColor : c.FaceColor, c.FaceColor);
        caption(captionUp());
    } else {
        s.PaintOval(0, 0, W, H, c.DarkShadowColor, off(c.FaceColor, -32));
        caption(2);
    }
}

void FacePainter::type14()
{
    if (!f.enabled) {
        gradient(58, c.HighlightColor, false, false);
        type14Rims();
        caption(6);
    } else if (f.state == 0) {
        type14Up();
    } else {
        fill(1, 1, W, H, off(c.FaceColor, -9));
        frame(0, 0, W, H, off(c.ShadowColor, -48));
        line(2, H - 2, W - 2, H - 2, c.HighlightColor);
        line(W - 2, 2, W - 2, H - 1, c.HighlightColor);
        caption(7);
        focus();
    }
}

void FacePainter::type14Up()
{
    if (f.mouseInside)
        fill(0, 0, W, H, c.LightColor);
    else
        gradient(58, c.HighlightColor, false, false);
    if (f.displayAsDefault) {
        // The default button's caption is laid out and drawn in bold.
        ButtonFace bold = f;
        bold.settings.Font.setBold(true);
        QImage measuring =
            PaintSurface::MeasuringImage(s.image().devicePixelRatio(), s.image().dotsPerMeterX());
        bold.layout = LayoutContent(bold.settings, f.client, f.layout, &measuring);
        PaintCaption(s, bold, captionUp());
        f.drawnEffect = bold.drawnEffect;
    } else {
        caption(captionUp());
    }
    type14Rims();
    focus();
}

void FacePainter::type14Rims()
{
    frame(0, 0, W, H, off(c.ShadowColor, -50));
    frame(1, 1, W - 2, H - 2, off(c.FaceColor, -9));
    fill(2, 2, W - 4, 2, c.HighlightColor);
    fill(2, 4, 2, H - 6, c.HighlightColor);
}

} // namespace

int AcceptPaintRequest(DrawnFace& drawn, int state, bool force, const QString& caption,
                       bool tickedCheckBox, int height, bool drawingAllowed)
{
    if (tickedCheckBox)
        state = 2;
    if (!force && caption == drawn.caption && state == drawn.state)
        return -1;
    if (height == 0 || !drawingAllowed)
        return -1;
    drawn.state = state;
    drawn.caption = caption;
    return state;
}

void PaintFace(PaintSurface& surface, ButtonFace& face)
{
    FacePainter(surface, face).paint();
}

QRegion BuildShape(qint32 buttonType, int width, int height)
{
    const int w = width, h = height;
    if (buttonType == 13)
        return QRegion(0, 0, w, h, QRegion::Ellipse);
    QRegion shape(0, 0, w, h);
    const auto cut = [&shape](int x, int y) { shape -= QRegion(x, y, 1, 1); };
    switch (buttonType) {
    case 1:
    case 14:
        cut(0, 0);
        cut(w - 1, 0);
        cut(0, h - 1);
        cut(w - 1, h - 1);
        break;
    case 5:
        cut(0, h - 1);
        cut(w - 1, 0);
        break;
    case 3:
    case 4:
        for (const QPoint p :
             {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(w - 2, 0), QPoint(w - 1, 0),
              QPoint(w - 1, 1), QPoint(0, h - 1), QPoint(1, h - 1), QPoint(0, h - 2),
              QPoint(w - 2, h - 1), QPoint(w - 1, h - 1), QPoint(w - 1, h - 2)})
            cut(p.x(), p.y());
        break;
    default:
        break;
    }
    return shape;
}

QRect FocusBoxOf(qint32 buttonType, int width, int height)
{
    const QRect client(0, 0, width, height);
    if (buttonType >= 7 && buttonType <= 13)
        return client.adjusted(3, 3, -3, -3);
    if (buttonType == 14)
        return client.adjusted(5, 5, -5, -5).translated(1, 1);
    return client.adjusted(4, 4, -4, -4);
}
