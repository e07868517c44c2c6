#include "controls/imagebox.h"

#include "core/filekind.h"

#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

namespace {

// Screen readers announce the box as a picture, with the description its window gives it.
QAccessibleInterface* accessibleImageBox(const QString& className, QObject* object)
{
    if (className == QLatin1String("ImageBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

ImageBox::ImageBox(QWidget* parent) : QFrame(parent)
{
    static const bool accessible = (QAccessible::installFactory(accessibleImageBox), true);
    Q_UNUSED(accessible)
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    // A click gives it the keyboard, so Ctrl+V reaches it.
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
}

void ImageBox::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    notice_.clear();
    update();
    emit pictureChanged();
}

void ImageBox::clearPicture()
{
    setPicture(QPixmap());
}

void ImageBox::showNotice(const QString& text)
{
    picture_ = QPixmap();
    notice_ = text;
    update();
    emit pictureChanged();
}

namespace {

// The size a decoded picture takes. A GIF is decoded onto its whole logical screen,
// which its header gives and the reader does not report.
QSize decodedSize(QImageReader& reader)
{
    QSize size = reader.size();
    if (reader.format() == "gif") {
        const QByteArray header = reader.device()->peek(10);
        if (header.size() == 10) {
            const auto at = [&header](int i) { return int(quint8(header[i])); };
            size = size.expandedTo(QSize(at(6) | at(7) << 8, at(8) | at(9) << 8));
        }
    }
    return size;
}

} // namespace

Status ImageBox::loadPicture(const QString& path, QPixmap& out)
{
    out = QPixmap();
    if (path.isEmpty())
        return Status::failure(tr("No picture file is named."));
    const QFileInfo info(path);
    if (!info.exists())
        return Status::failure(tr("The file does not exist."));
    if (info.isDir())
        return Status::failure(tr("The path names a folder, not a picture file."));
    // Reading a FIFO would wait for another program with the window frozen.
    if (Status regular = regularFileOrNewName(path); !regular.ok())
        return regular;
    if (!info.isReadable())
        return Status::failure(tr("The file cannot be read."));
    if (info.size() == 0)
        return Status::failure(tr("The file is empty."));

    QImageReader reader(path);
    if (!reader.canRead())
        return Status::failure(tr("The file is not a picture."));
    const QSize size = decodedSize(reader);
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPicturePixels)
        return Status::failure(tr("The picture is too large to show (%1 x %2 pixels).")
                                   .arg(size.width())
                                   .arg(size.height()));
    // A backstop for formats whose header understates what decoding allocates.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)));
    const QImage image = reader.read();
    if (image.isNull())
        return Status::failure(tr("The picture is damaged: %1").arg(reader.errorString()));
    out = QPixmap::fromImage(image);
    return {};
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (!notice_.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(contentsRect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         notice_);
        return;
    }
    if (picture_.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(contentsRect(), picture_);
}

void ImageBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste))
        emit pasteRequested();
    else
        QFrame::keyPressEvent(event);
}

void ImageBox::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(tr("&Paste"), this, &ImageBox::pasteRequested);
    menu.exec(event->globalPos());
}

namespace {

// The one local file a drag carries, or an empty string.
QString droppedFile(const QMimeData* data)
{
    if (!data || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

} // namespace

void ImageBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ImageBox::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    emit fileDropped(path);
}
