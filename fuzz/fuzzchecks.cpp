#include "fuzz/fuzzchecks.h"

#include "controls/button/paintedbutton.h"
#include "controls/button/propertybag.h"
#include "controls/imagebox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

#include <bit>

#include <unistd.h>

QByteArray checkPictureFile(const uint8_t* data, size_t size)
{
    // One file name per process, so fuzzers running side by side do not meet.
    static const QString path =
        QDir::temp().filePath(QStringLiteral("flaskbook-fuzz-picture-%1").arg(getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    QPixmap picture;
    const Status status = ImageBox::loadPicture(path, picture);
    const bool loaded = status.ok();
    QString reason = status.message();
    if (loaded == picture.isNull())
        qFatal("loadPicture answered %d with a %s picture", loaded,
               picture.isNull() ? "null" : "real");
    if (!loaded && reason.isEmpty())
        qFatal("a refused picture without a reason");
    if (qint64(picture.width()) * picture.height() > ImageBox::kMaxPicturePixels)
        qFatal("a picture of %d x %d pixels was decoded", picture.width(), picture.height());
    QFile::remove(path);
    reason.remove(QRegularExpression(QStringLiteral("[0-9]+")));
    return QByteArray::number(std::bit_width(unsigned(picture.width()))) + 'x' +
           QByteArray::number(std::bit_width(unsigned(picture.height()))) + ' ' +
           QByteArray::number(picture.depth()) + ' ' + reason.toUtf8();
}

void checkButtonSettings(const uint8_t* data, size_t size)
{
    bool ok = false;
    const PropertyBag bag = PropertyBag::fromText(
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)), &ok);
    if (!ok) {
        if (bag.count() != 0)
            qFatal("a malformed bag kept %lld entries", qlonglong(bag.count()));
        return;
    }

    // What the bag writes it reads back unchanged.
    const QString written = bag.toText();
    bool again = false;
    const PropertyBag reread = PropertyBag::fromText(written, &again);
    if (!again || reread.toText() != written)
        qFatal("a bag does not survive its own text:\n%s", qPrintable(written));

    paintedButton button;
    button.resize(75, 25);
    button.ReadProperties(bag);
    QImage face(button.size(), QImage::Format_ARGB32);
    button.render(&face);
}
