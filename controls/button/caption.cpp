#include "controls/button/caption.h"

#include "controls/button/surface.h"

CaptionLayout LayoutContent(const CaptionContent& content, const CaptionLayout& previous,
                            QPaintDevice* device)
{
    const int w = content.client.width(), h = content.client.height();
    const int pw = content.picture.width(), ph = content.picture.height();
    const int position = content.picturePosition;
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
    QRect box = PaintSurface::MeasureText(content.caption, area, content.font, device);

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
    layout.picture = PlacePicture(content, box, previous.picture);
    return layout;
}

QPoint PlacePicture(const CaptionContent& content, const QRect& captionBox, QPoint previous)
{
    if (!content.hasPicture)
        return previous;
    const int w = content.client.width(), h = content.client.height();
    const int pw = content.picture.width(), ph = content.picture.height();
    // Only blanks are trimmed, as the caption's own spacing is blanks.
    const bool blankCaption = content.caption.count(QLatin1Char(' ')) == content.caption.size();
    if (blankCaption || content.picturePosition == 4)
        return QPoint((w - pw) / 2, (h - ph) / 2);
    const int left = captionBox.x(), top = captionBox.y();
    const int right = left + captionBox.width(), bottom = top + captionBox.height();
    switch (content.picturePosition) {
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
    if (face.specialEffect <= 0)
        return;
    const ButtonPalette& c = face.colours;
    const int type = face.buttonType;
    quint32 base = c.FaceColor;
    if (type == 3 || type == 4 || type == 14)
        base = c.FaceLightColor;
    else if (face.state == 0 && face.mouseInside && face.colorScheme != 2 && type == 9)
        base = c.SelectLightColor;
    const bool swapped = face.specialEffect == 2;
    const QString& text = face.content.caption;
    const QFont& font = face.content.font;
    surface.PaintText(text, box.translated(1, 1), font,
                      ShadeColor(base, swapped ? 40 : -40, false, face.softBevel));
    if (face.specialEffect == 1 || face.specialEffect == 2)
        surface.PaintText(text, box.translated(-1, -1), font,
                          ShadeColor(base, swapped ? -40 : 40, false, face.softBevel));
}

void PaintCaption(PaintSurface& surface, ButtonFace& face, int effect)
{
    face.drawnEffect = effect;
    const ButtonPalette& c = face.colours;
    const QString& text = face.content.caption;
    const QFont& font = face.content.font;
    const QRect& up = face.layout.captionBox;
    const QRect& down = face.layout.captionBoxDown;
    const auto shade = [&face](quint32 color, qint32 amount, bool blue) {
        return ShadeColor(color, amount, blue, face.softBevel);
    };
    switch (effect) {
    case 0:
    case 1:
        PaintCaptionEcho(surface, face, up);
        surface.PaintText(text, up, font, effect == 0 ? c.TextColor : c.TextOverColor);
        break;
    case 2:
        PaintCaptionEcho(surface, face, down);
        surface.PaintText(text, down, font, face.buttonType == 4 ? c.LightColor : c.TextOverColor);
        break;
    case 3:
        surface.PaintText(text, down, font, c.HighlightColor);
        surface.PaintText(text, up, font, c.ShadowColor);
        break;
    case 4:
        surface.PaintText(text, up, font, c.ShadowColor);
        break;
    case 5:
        surface.PaintText(text, up, font, shade(c.FaceLightColor, -104, true));
        break;
    case 6:
        surface.PaintText(text, down, font, c.HighlightColor);
        surface.PaintText(text, up, font, c.FaceColor);
        break;
    case 7:
        surface.PaintText(text, down, font, shade(c.ShadowColor, -50, false));
        surface.PaintText(text, up, font, c.HighlightColor);
        break;
    default:
        break;
    }
}
