#include "app/recordexport.h"

#include "core/filekind.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

namespace {

// Room around the page, between the printed lines and before the picture, in points.
constexpr qreal kMarginPt = 36;
constexpr qreal kLineGapPt = 6;
constexpr qreal kColumnGapPt = 12;

QString withCrLf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace

QStringList recordTextLines(const LabelledFields& fields)
{
    QStringList lines;
    for (const auto& [label, text] : fields)
        lines.append(label + text);
    return lines;
}

Status appendRecordText(const QString& path, const LabelledFields& fields)
{
    // Opening a FIFO would wait until another program reads it.
    if (Status regular = regularFileOrNewName(path); !regular.ok())
        return regular;
    QString block = QString(24, QLatin1Char(' ')) + QStringLiteral("\r\n");
    for (const QString& line : recordTextLines(fields))
        block += withCrLf(line) + QStringLiteral("\r\n");

    QFile file(path);
    const bool existed = file.exists();
    // Unbuffered: a write that stops short is tried again, so its real reason comes out.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return Status::failure(file.errorString());
    const qint64 sizeBefore = file.size();
    const QByteArray bytes = block.toLocal8Bit();
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size()) {
        // No half block stays behind, on a full disk for instance: the file is left as it was.
        const QString failure = file.errorString();
        file.resize(sizeBefore);
        file.close();
        if (!existed)
            file.remove();
        return Status::failure(failure);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(file.errorString());
    return {};
}

Status printRecord(QPrinter* printer, const LabelledFields& fields, const QPixmap& picture)
{
    const QString outputFile = printer->outputFileName();
    if (!outputFile.isEmpty()) {
        // Opening a FIFO would wait until another program reads it.
        if (Status regular = regularFileOrNewName(outputFile); !regular.ok())
            return Status::failure(QStringLiteral("The file %1 cannot be written. %2")
                                       .arg(outputFile, regular.message()));
    }
    QPainter painter;
    if (!painter.begin(printer)) {
        if (!outputFile.isEmpty())
            return Status::failure(
                QStringLiteral("The file %1 cannot be written.").arg(outputFile));
        return Status::failure(
            QStringLiteral("The printer %1 cannot be used.").arg(printer->printerName()));
    }

    const qreal point = printer->resolution() / 72.0;
    const QRectF page =
        QRectF(QPointF(0, 0), printer->pageRect(QPrinter::DevicePixel).size())
            .adjusted(kMarginPt * point, kMarginPt * point, -kMarginPt * point, -kMarginPt * point);
    const QFont labelFont(QStringLiteral("Arial"), 11, QFont::Bold);
    const QFont valueFont(QStringLiteral("Arial"), 11);

    // The labels stand in a column as wide as the widest of them; the values wrap beside it.
    QStringList labels;
    qreal labelWidth = 0;
    painter.setFont(labelFont);
    for (const auto& field : fields) {
        labels.append(field.first.trimmed());
        labelWidth =
            qMax(labelWidth, painter.boundingRect(page, Qt::AlignLeft, labels.last()).width());
    }
    const qreal valueLeft = page.left() + labelWidth + kColumnGapPt * point;
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    qreal y = page.top();
    for (int i = 0; i < fields.size(); ++i) {
        QRectF usedLabel;
        QRectF usedValue;
        painter.setFont(labelFont);
        painter.drawText(QRectF(page.left(), y, labelWidth, page.bottom() - y), flags, labels[i],
                         &usedLabel);
        painter.setFont(valueFont);
        painter.drawText(QRectF(valueLeft, y, page.right() - valueLeft, page.bottom() - y), flags,
                         fields[i].second, &usedValue);
        y += qMax(usedLabel.height(), usedValue.height()) + kLineGapPt * point;
    }

    if (!picture.isNull()) {
        y += kLineGapPt * point;
        QSizeF room(page.width() / 2, page.bottom() - y);
        if (room.height() < page.height() / 4) {
            printer->newPage();
            y = page.top();
            room.setHeight(page.height());
        }
        const QSizeF size = QSizeF(picture.size()).scaled(room, Qt::KeepAspectRatio);
        painter.drawPixmap(QRectF(QPointF(page.left(), y), size), picture, QRectF(picture.rect()));
    }
    if (!painter.end())
        return Status::failure(QStringLiteral("The page could not be printed."));
    return {};
}
