#include "controls/imagebox.h"

#include <QPainter>

ImageBox::ImageBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void ImageBox::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void ImageBox::clearPicture()
{
    setPicture(QPixmap());
}

bool ImageBox::loadPicture(const QString& path, QPixmap& out)
{
    out = QPixmap();
    return !path.isEmpty() && out.load(path);
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(contentsRect(), picture_);
}
