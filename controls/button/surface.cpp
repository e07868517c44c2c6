#include "controls/button/surface.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int textFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;

} // namespace

PaintSurface::PaintSurface(QImage& image) : image_(image)
{
    if (image_.isNull())
        return;
    ratio_ = image_.devicePixelRatio();
    const QSizeF logical = image_.deviceIndependentSize();
    width_ = qRound(logical.width());
    height_ = qRound(logical.height());
}

PaintSurface::~PaintSurface() = default;

QPainter& PaintSurface::painter()
{
    if (!painter_)
        painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

int PaintSurface::deviceX(int x) const
{
    return qRound(x * ratio_);
}

int PaintSurface::deviceY(int y) const
{
    return qRound(y * ratio_);
}

// Right and bottom are exclusive device coordinates.
void PaintSurface::fillDevice(int left, int top, int right, int bottom, quint32 color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image_.width());
    bottom = std::min(bottom, image_.height());
    if (left >= right || top >= bottom)
        return;
    const QRgb rgb = rgbFromBgr(color);
    for (int y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + left, line + right, rgb);
    }
}

void PaintSurface::PaintBox(int x, int y, int width, int height, quint32 color, bool onlyBorder)
{
    if (width <= 0 || height <= 0)
        return;
    const int left = deviceX(x), top = deviceY(y);
    const int right = deviceX(x + width), bottom = deviceY(y + height);
    if (!onlyBorder) {
        fillDevice(left, top, right, bottom, color);
        return;
    }
    const int innerLeft = deviceX(x + 1), innerTop = deviceY(y + 1);
    const int innerRight = deviceX(x + width - 1), innerBottom = deviceY(y + height - 1);
    fillDevice(left, top, right, innerTop, color);
    fillDevice(left, std::max(innerBottom, innerTop), right, bottom, color);
    fillDevice(left, innerTop, innerLeft, innerBottom, color);
    fillDevice(std::max(innerRight, innerLeft), innerTop, right, innerBottom, color);
}

void PaintSurface::PaintDot(int x, int y, quint32 color)
{
    fillDevice(deviceX(x), deviceY(y), deviceX(x + 1), deviceY(y + 1), color);
}

void PaintSurface::PaintSegment(int x1, int y1, int x2, int y2, quint32 color)
{
    if (y1 == y2) {
        const int from = x1 <= x2 ? x1 : x2 + 1;
        const int to = x1 <= x2 ? x2 : x1 + 1;
        PaintBox(from, y1, to - from, 1, color, false);
        return;
    }
    if (x1 == x2) {
        const int from = y1 <= y2 ? y1 : y2 + 1;
        const int to = y1 <= y2 ? y2 : y1 + 1;
        PaintBox(x1, from, 1, to - from, color, false);
        return;
    }
    // Bresenham along the longer axis, stopping before the end point.
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
    int x = x1, y = y1;
    int error = dx - dy;
    while (x != x2 || y != y2) {
        PaintDot(x, y, color);
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            x += sx;
        }
        if (twice < dx) {
            error += dx;
            y += sy;
        }
    }
}

void PaintSurface::PaintOval(int x, int y, int width, int height, quint32 borderColor,
                             quint32 fillColor)
{
    if (width <= 0 || height <= 0 || image_.isNull())
        return;
    QPainter& p = painter();
    p.setPen(QPen(QColor(rgbFromBgr(borderColor)), 2));
    p.setBrush(QColor(rgbFromBgr(fillColor)));
    // The 2-pixel pen is centred on the path, so a path one pixel in keeps it inside the box.
    p.drawEllipse(QRectF(x + 1, y + 1, width - 2, height - 2));
}

void PaintSurface::PaintText(const QString& text, const QRect& box, const QFont& font,
                             quint32 color)
{
    if (text.isEmpty() || box.width() <= 0 || box.height() <= 0 || image_.isNull())
        return;
    QPainter& p = painter();
    p.setFont(font);
    p.setPen(QColor(rgbFromBgr(color)));
    p.drawText(box, textFlags, text);
}

void PaintSurface::CopyBlock(const QImage& source, int width, int height)
{
    if (source.isNull() || width <= 0 || height <= 0 || image_.isNull())
        return;
    QPainter& p = painter();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const qreal sourceRatio = source.devicePixelRatio();
    p.drawImage(QRectF(0, 0, width, height), source,
                QRectF(0, 0, width * sourceRatio, height * sourceRatio));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QSize PaintSurface::DeviceSize(const QRect& box) const
{
    return QSize(deviceX(box.x() + box.width()) - deviceX(box.x()),
                 deviceY(box.y() + box.height()) - deviceY(box.y()));
}

template <typename CopySpan>
void PaintSurface::forEachBlockRow(const QRect& box, QSize size, CopySpan copySpan) const
{
    const int left = deviceX(box.x()), top = deviceY(box.y());
    const int from = std::max(0, -left), to = std::min(size.width(), image_.width() - left);
    if (from >= to)
        return;
    for (int row = std::max(0, -top); row < std::min(size.height(), image_.height() - top); ++row)
        copySpan(top + row, row, left + from, from, to - from);
}

QImage PaintSurface::ReadBlock(const QRect& box) const
{
    QImage block(DeviceSize(box), QImage::Format_RGB32);
    block.fill(Qt::black);
    forEachBlockRow(box, block.size(), [&](int y, int row, int x, int column, int count) {
        const auto* source = reinterpret_cast<const QRgb*>(image_.constScanLine(y)) + x;
        auto* target = reinterpret_cast<QRgb*>(block.scanLine(row)) + column;
        std::transform(source, source + count, target, [](QRgb p) { return p | 0xFF000000; });
    });
    return block;
}

void PaintSurface::WriteBlock(const QRect& box, const QImage& block)
{
    forEachBlockRow(box, block.size(), [&](int y, int row, int x, int column, int count) {
        const auto* source = reinterpret_cast<const QRgb*>(block.constScanLine(row)) + column;
        std::copy(source, source + count, reinterpret_cast<QRgb*>(image_.scanLine(y)) + x);
    });
}

void PaintSurface::PaintFocusRect(const QRect& box)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const int left = deviceX(box.x()), top = deviceY(box.y());
    const int right = deviceX(box.x() + box.width()) - 1;
    const int bottom = deviceY(box.y() + box.height()) - 1;
    const auto invert = [this](int x, int y) {
        if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height() || (x + y) % 2 != 0)
            return;
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        line[x] ^= 0x00FFFFFF;
    };
    for (int x = left; x <= right; ++x) {
        invert(x, top);
        if (bottom != top)
            invert(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        invert(left, y);
        if (right != left)
            invert(right, y);
    }
}

QRect PaintSurface::MeasureText(const QString& text, const QRect& box, const QFont& font,
                                QPaintDevice* device)
{
    QPainter painter(device);
    painter.setFont(font);
    const QRect block =
        painter.boundingRect(box, (textFlags & ~Qt::AlignHCenter) | Qt::AlignLeft, text);
    return QRect(box.x(), box.y(), block.width(), block.height());
}

QImage PaintSurface::MeasuringImage(qreal devicePixelRatio, int dotsPerMeter)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}
