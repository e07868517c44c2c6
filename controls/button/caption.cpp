#include "controls/button/caption.h"

#include "controls/button/surface.h"

#include <optional>

CaptionLayout LayoutContent(const ButtonSettings& settings, QSize client,
                            const CaptionLayout& previous, QPaintDevice* device)
{
    const int w = client.width(), h = client.height();
    const QSize picture = settings.pictureSize();
    const int pw = picture.width(), ph = picture.height();
    const int position = settings.PicturePosition;
    // The area the caption wraps in, from its left, top, right and bottom edges.
    const auto edges = [](int left, int top, int right, int bottom) {
        return QRect(left, top, right - left, bottom - top);
    };
    QRect area = previous.captionBoxDown;
    switch (position) {
    case 0:
        area = edges(pw + 1, 1, w - 2, h - 2);
        break;
    case 1:
        area = edges(1, 1, w - 2 - pw, h - 2);
        break;
    case 2:
        area = edges(1, ph + 1, w - 2, h - 2);
        break;
    case 3:
        area = edges(1, 1, w - 2, h - 2 - ph);
        break;
    case 4:
        area = edges(1, 1, w - 2, h - 2);
        break;
    default:
        break;
    }
    QRect box = PaintSurface::MeasureText(settings.Caption, area, settings.Font, device);

    const int right = box.x() + box.width(), bottom = box.y() + box.height();
    int dx = 0, dy = 0;
    switch (position) {
    case 0:
    case 2:
    case 4:
        dx = (w - right) / 2;
        dy = (h - bottom) / 2;
        break;
    case 1:
        dx = (w - right - pw - 4) / 2;
        dy = (h - bottom) / 2;
        break;
    case 3:
        dx = (w - right) / 2;
        dy = (h - bottom - ph - 4) / 2;
        break;
    default:
        break;
    }
    box.translate(dx, dy);

    CaptionLayout layout;
    layout.captionBox = box;
    layout.captionBoxDown = box.translated(1, 1);
    layout.picture = PlacePicture(settings, client, box, previous.picture);
    return layout;
}

QPoint PlacePicture(const ButtonSettings& settings, QSize client, const QRect& captionBox,
                    QPoint previous)
{
    if (!settings.hasPicture())
        return previous;
    const int w = client.width(), h = client.height();
    const QSize picture = settings.pictureSize();
    const int pw = picture.width(), ph = picture.height();
    // Only blanks are trimmed, as the caption's own spacing is blanks.
    const QString& caption = settings.Caption;
    const bool blankCaption = caption.count(QLatin1Char(' ')) == caption.size();
    if (blankCaption || settings.PicturePosition == 4)
        return QPoint((w - pw) / 2, (h - ph) / 2);
    const int left = captionBox.x(), top = captionBox.y();
    const int right = left + captionBox.width(), bottom = top + captionBox.height();
    switch (settings.PicturePosition) {
    case 0:
        return QPoint(left - pw - 4, (h - ph) / 2);
    case 1:
        return QPoint(right + 4, (h - ph) / 2);
    case 2:
        return QPoint((w - pw) / 2, top - ph - 2);
    case 3:
        return QPoint((w - pw) / 2, bottom + 2);
    default:
        return previous;
    }
}

void PaintCaptionEcho(PaintSurface& surface, const ButtonFace& face, const QRect& box)
{
    const ButtonSettings& settings = face.settings;
    if (settings.SpecialEffect <= 0)
        return;
    const ButtonPalette& c = face.colours;
    const int type = settings.ButtonType;
    quint32 base = c.FaceColor;
    if (type == 3 || type == 4 || type == 14)
        base = c.FaceLightColor;
    else if (face.state == 0 && face.mouseInside && settings.ColorScheme != 2 && type == 9)
        base = c.SelectLightColor;
    const bool swapped = settings.SpecialEffect == 2;
    const QString& text = settings.Caption;
    const QFont& font = settings.Font;
    surface.PaintText(text, box.translated(1, 1), font,
                      ShadeColor(base, swapped ? 40 : -40, false, settings.SoftBevel));
    if (settings.SpecialEffect == 1 || settings.SpecialEffect == 2)
        surface.PaintText(text, box.translated(-1, -1), font,
                          ShadeColor(base, swapped ? -40 : 40, false, settings.SoftBevel));
}

void PaintCaption(PaintSurface& surface, ButtonFace& face, int effect)
{
    face.drawnEffect = effect;
    const ButtonPalette& c = face.colours;
    const ButtonSettings& settings = face.settings;
    const auto shade = [&settings](quint32 color, qint32 amount, bool blue) {
        return ShadeColor(color, amount, blue, settings.SoftBevel);
    };
    // Each look is the caption in one colour, over the SpecialEffect copies (0 to 2) or over a
    // copy one pixel down-right in another colour (3, 6, 7); pushed, it moves down-right itself.
    quint32 colour = 0;
    std::optional<quint32> below;
    bool echo = false, pushed = false;
    switch (effect) {
    case 0:
    case 1:
        echo = true;
        colour = effect == 0 ? c.TextColor : c.TextOverColor;
        break;
    case 2:
        echo = pushed = true;
        colour = settings.ButtonType == 4 ? c.LightColor : c.TextOverColor;
        break;
    case 3:
        below = c.HighlightColor;
        colour = c.ShadowColor;
        break;
    case 4:
        colour = c.ShadowColor;
        break;
    case 5:
        colour = shade(c.FaceLightColor, -104, true);
        break;
    case 6:
        below = c.HighlightColor;
        colour = c.FaceColor;
        break;
    case 7:
        below = shade(c.ShadowColor, -50, false);
        colour = c.HighlightColor;
        break;
    default:
        return;
    }
    const QRect& box = pushed ? face.layout.captionBoxDown : face.layout.captionBox;
    if (echo)
        PaintCaptionEcho(surface, face, box);
    if (below)
        surface.PaintText(settings.Caption, face.layout.captionBoxDown, settings.Font, *below);
    surface.PaintText(settings.Caption, box, settings.Font, colour);
}
