#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <memory>

class QPaintDevice;
class QPainter;

// The button's drawing surface: an image with the old desktop's pixel rules. Coordinates are
// the button's logical pixels; colours are 0x00BBGGRR. Each logical pixel covers the device
// pixels from round(x * ratio) up to round((x + 1) * ratio), so fills meet without seams at
// any device pixel ratio. Drawing outside the image is clipped.
class PaintSurface {
public:
    // Draws into `image`, whose device pixel ratio sets the scale.
    explicit PaintSurface(QImage& image);
    ~PaintSurface();
    PaintSurface(const PaintSurface&) = delete;
    PaintSurface& operator=(const PaintSurface&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    const QImage& image() const { return image_; }

    // Fills [x, x+width) x [y, y+height), or with `onlyBorder` its one-pixel border only.
    void PaintBox(int x, int y, int width, int height, quint32 color, bool onlyBorder);
    // A one-pixel line that draws its start point but not its end point.
    void PaintSegment(int x1, int y1, int x2, int y2, quint32 color);
    void PaintDot(int x, int y, quint32 color);
    // The ellipse inscribed in [x, x+width) x [y, y+height), filled, with a 2-pixel outline.
    void PaintOval(int x, int y, int width, int height, quint32 borderColor, quint32 fillColor);
    // Text centred line by line in `box` from its top, wrapped at word breaks, "&" marking the
    // underlined access key and "&&" a literal ampersand; only the glyphs are drawn.
    void PaintText(const QString& text, const QRect& box, const QFont& font, quint32 color);
    // The first width x height pixels of `source` copied to the origin.
    void CopyBlock(const QImage& source, int width, int height);
    // The device pixels under the logical rectangle `box` as an RGB32 image of device size;
    // pixels off the surface are black.
    QImage ReadBlock(const QRect& box) const;
    // Writes a block that ReadBlock gave for `box` back; pixels off the surface are dropped.
    void WriteBlock(const QRect& box, const QImage& block);
    // The device size of the logical rectangle `box`.
    QSize DeviceSize(const QRect& box) const;
    // The dotted focus rectangle on the border of `box`: every other pixel inverted, so a
    // second call removes it again.
    void PaintFocusRect(const QRect& box);

    // The text block that PaintText draws in a box of `box`'s width: left and top as given,
    // width of the widest wrapped line, height of all lines. The text is laid out as it is
    // drawn on `device`, an image of the face's resolution that no one paints on meanwhile.
    static QRect MeasureText(const QString& text, const QRect& box, const QFont& font,
                             QPaintDevice* device);
    // A one-pixel image of the same resolution as `face`, to measure text on.
    static QImage MeasuringImage(qreal devicePixelRatio, int dotsPerMeter);

private:
    // For each row of a block of `size` device pixels at `box` that lies on the image, calls
    // copySpan(y, row, x, column, count) with the span of the row that lies on it.
    template <typename CopySpan>
    void forEachBlockRow(const QRect& box, QSize size, CopySpan copySpan) const;
    int deviceX(int x) const;
    int deviceY(int y) const;
    void fillDevice(int left, int top, int right, int bottom, quint32 color);
    QPainter& painter();

    QImage& image_;
    qreal ratio_ = 1;
    int width_ = 0;
    int height_ = 0;
    // Opened by the first text, oval or copy and kept to the end of this paint only.
    std::unique_ptr<QPainter> painter_;
};

// The QRgb of a 0x00BBGGRR colour.
constexpr QRgb rgbFromBgr(quint32 bgr)
{
    return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
