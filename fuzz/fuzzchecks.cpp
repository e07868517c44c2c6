#include "fuzz/fuzzchecks.h"

#include "chem/molecule.h"

#include "controls/button/paintedbutton.h"
#include "controls/button/propertybag.h"
#include "controls/imagebox.h"

#include <QApplication>
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
    PropertyBag bag;
    const Status read = PropertyBag::fromText(
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)), &bag);
    if (!read.ok()) {
        if (bag.count() != 0)
            qFatal("a malformed bag kept %lld entries", qlonglong(bag.count()));
        return;
    }

    // What the bag writes it reads back unchanged.
    const QString written = bag.toText();
    PropertyBag reread;
    if (!PropertyBag::fromText(written, &reread).ok() || reread.toText() != written)
        qFatal("a bag does not survive its own text:\n%s", qPrintable(written));

    paintedButton button;
    button.resize(75, 25);
    button.ReadProperties(bag);
    QImage face(button.size(), QImage::Format_ARGB32);
    button.render(&face);
}

QByteArray checkStructure(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    Molecule molecule;
    const Status status = Molecule::fromText(text, molecule);
    if (!status.ok()) {
        if (status.message().isEmpty() || !molecule.isEmpty())
            qFatal("a refused structure without a message, or with a molecule left");
        QString shape = status.message();
        shape.remove(QRegularExpression(QStringLiteral("[0-9]+|'[^']*'|\"[^\"]*\"")));
        return shape.toUtf8();
    }
    const int heavyAtoms = molecule.heavyAtomCount();
    if (heavyAtoms < 0 || heavyAtoms > 1000 || molecule.formula().isEmpty() ||
        !(molecule.averageWeight() >= 0))
        qFatal("a structure read with %d heavy atoms, formula \"%s\", weight %g", heavyAtoms,
               qPrintable(molecule.formula()), molecule.averageWeight());

    // What the record would store must read back as the same molecule.
    const QString stored = molecule.molBlock();
    Molecule reread;
    const Status again = Molecule::fromText(stored, reread);
    if (!again.ok() || reread.formula() != molecule.formula() ||
        reread.heavyAtomCount() != heavyAtoms)
        qFatal("the stored MOL block of %s does not read back: %s\n%s",
               qPrintable(molecule.formula()), qPrintable(again.message()), qPrintable(stored));

    QImage picture(QSize(160, 128) * 2, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(2);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    molecule.draw(painter, QRectF(0, 0, 160, 128));
    return "read " + QByteArray::number(std::bit_width(unsigned(heavyAtoms)));
}

void startFuzzApplication(char* programName, QtMessageHandler messages)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {programName, nullptr};
    static QApplication app(qtArgc, qtArgv);
    qInstallMessageHandler(messages);
}

void abortOnFatalMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        fprintf(stderr, "%s\n", qPrintable(message));
        abort();
    }
}
