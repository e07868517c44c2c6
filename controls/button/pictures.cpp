#include "controls/button/pictures.h"

#include "controls/button/caption.h"
#include "controls/button/surface.h"

#include <QPainter>

#include <cmath>

namespace {

quint32 bgrOf(QRgb rgb)
{
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}

// The picture's pixels as the copy reads them, `size` device pixels for `width` x `height`
// logical ones: a bitmap as it is, an icon over the mask colour. A picture of lower resolution
// than the face is enlarged pixel by pixel, so its colours stay exact.
QImage renderedPicture(const QImage& picture, int width, int height, QSize size, quint32 maskRGB)
{
    QImage rendered(size, QImage::Format_RGB32);
    const bool icon = picture.hasAlphaChannel();
    // A bitmap smaller than the block leaves the rest black.
    rendered.fill(icon ? QColor(rgbFromBgr(maskRGB)) : QColor(Qt::black));
    QPainter painter(&rendered);
    painter.scale(qreal(size.width()) / width, qreal(size.height()) / height);
    if (!icon)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), picture);
    return rendered;
}

QRgb copiedPixel(QRgb p, QRgb q, const PictureCopy& how)
{
    if (how.clearColor >= 0 && qint64(bgrOf(p)) == how.clearColor)
        return q;
    if (how.brushColor >= 0) {
        if (how.darkOnly && qRed(p) + qGreen(p) + qBlue(p) > 384)
            return q;
        return rgbFromBgr(quint32(how.brushColor));
    }
    if (how.greyscale) {
        const double t = std::nearbyint(0.3 * qRed(p));
        const auto g = int(std::nearbyint(t + 0.59 * qGreen(p) + 0.11 * qBlue(p)));
        return qRgb(g, g, g);
    }
    if (how.blend)
        return qRgb((2 * qRed(p) + qRed(q)) / 3, (2 * qGreen(p) + qGreen(q)) / 3,
                    (2 * qBlue(p) + qBlue(q)) / 3);
    return p | 0xFF000000;
}

} // namespace

void CopyPicturePixels(PaintSurface& surface, int x, int y, int width, int height,
                       const QImage& picture, const PictureCopy& how)
{
    if (width <= 0 || height <= 0 || picture.isNull())
        return;
    const QRect box(x, y, width, height);
    QImage result = surface.ReadBlock(box);
    const QImage pixels = renderedPicture(picture, width, height, result.size(), how.maskRGB);
    for (int row = 0; row < result.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(pixels.constScanLine(row));
        auto* q = reinterpret_cast<QRgb*>(result.scanLine(row));
        for (int column = 0; column < result.width(); ++column)
            q[column] = copiedPixel(p[column], q[column], how);
    }
    surface.WriteBlock(box, result);
}

void PaintPictureEcho(PaintSurface& surface, const ButtonFace& face, int offset,
                      const QImage& picture)
{
    const ButtonSettings& settings = face.settings;
    if (settings.SpecialEffect <= 0)
        return;
    const ButtonPalette& c = face.colours;
    quint32 base = c.FaceColor;
    if (settings.ButtonType == 3)
        base = c.FaceLightColor;
    else if (offset == -1 && settings.ColorScheme != 2)
        base = c.SelectLightColor;
    const bool swapped = settings.SpecialEffect == 2;
    const QPoint at = face.layout.picture;
    const QSize size = settings.pictureSize();
    PictureCopy silhouette;
    silhouette.clearColor = settings.UseMaskColor ? qint64(c.MaskRGB) : -1;
    silhouette.maskRGB = c.MaskRGB;
    silhouette.brushColor = ShadeColor(base, swapped ? 40 : -40, false, settings.SoftBevel);
    CopyPicturePixels(surface, at.x() + 1 + offset, at.y() + 1 + offset, size.width(),
                      size.height(), picture, silhouette);
    if (settings.SpecialEffect != 1 && settings.SpecialEffect != 2)
        return;
    silhouette.brushColor = ShadeColor(base, swapped ? -40 : 40, false, settings.SoftBevel);
    CopyPicturePixels(surface, at.x() - 1 + offset, at.y() - 1 + offset, size.width(),
                      size.height(), picture, silhouette);
}

void PaintPicture(PaintSurface& surface, ButtonFace& face, int pictureState)
{
    const ButtonSettings& settings = face.settings;
    const QImage& normal = settings.PictureNormal;
    if (normal.isNull())
        return;
    const QImage& over = settings.PictureOver;
    const ButtonPalette& c = face.colours;
    const int type = settings.ButtonType;
    const int x = face.layout.picture.x(), y = face.layout.picture.y();
    const QSize size = settings.pictureSize();
    PictureCopy plain;
    plain.clearColor = settings.UseMaskColor ? qint64(c.MaskRGB) : -1;
    plain.maskRGB = c.MaskRGB;
    const auto copy = [&](const QImage& picture, int atX, int atY, const PictureCopy& how) {
        CopyPicturePixels(surface, atX, atY, size.width(), size.height(), picture, how);
    };
    const auto brushed = [&plain](quint32 brush, bool darkOnly) {
        PictureCopy how = plain;
        how.brushColor = brush;
        how.darkOnly = darkOnly;
        return how;
    };

    if (pictureState == 0) {
        if (face.mouseInside && type == 9) {
            PaintPictureEcho(surface, face, -1, normal);
            copy(normal, x + 1, y + 1, brushed(c.ShadowColor, false));
            copy(normal, x - 1, y - 1, plain);
        } else if (face.mouseInside) {
            const QImage& shown = over.isNull() ? normal : over;
            PaintPictureEcho(surface, face, 0, shown);
            copy(shown, x, y, plain);
        } else {
            PaintPictureEcho(surface, face, 0, normal);
            PictureCopy how = plain;
            how.greyscale = settings.UseGreyscale;
            how.blend = type == 9;
            copy(normal, x, y, how);
        }
    } else if (pictureState == 1) {
        if (!over.isNull() && type != 9) {
            const int d = type == 5 ? 0 : 1;
            copy(over, x + d, y + d, plain);
        } else if (type != 5 && type != 9) {
            PaintPictureEcho(surface, face, 1, normal);
            copy(normal, x + 1, y + 1, plain);
        } else {
            PaintPictureEcho(surface, face, 0, normal);
            copy(normal, x, y, plain);
        }
    } else if (pictureState == 2) {
        if (type == 3) {
            PictureCopy how = plain;
            how.greyscale = true;
            copy(normal, x + 1, y + 1, how);
        } else if (type == 5 || type == 6 || type == 9) {
            const quint32 brush = type == 9
                                      ? ShadeColor(c.ShadowColor, 13, false, settings.SoftBevel)
                                      : c.ShadowColor;
            copy(normal, x, y, brushed(brush, true));
        } else {
            // Embossed: the dark pixels in light one pixel down-right, then in shadow in place.
            copy(normal, x + 1, y + 1, brushed(c.HighlightColor, true));
            copy(normal, x, y, brushed(c.ShadowColor, true));
        }
    }
    if (settings.PicturePosition == 4)
        PaintCaption(surface, face, face.drawnEffect);
}
