#include "transfer/transferjobs.h"

#include <QSaveFile>

Status saveSkippedList(const QList<SkippedRecord>& skipped, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(
            QStringLiteral("The list cannot be saved: %1").arg(file.errorString()));
    QByteArray text;
    for (const SkippedRecord& record : skipped) {
        QString reason = record.reason;
        reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += QStringLiteral("record %1: %2\n").arg(record.number).arg(reason).toUtf8();
    }
    if (file.write(text) != text.size() || !file.commit())
        return Status::failure(
            QStringLiteral("The list cannot be saved: %1").arg(file.errorString()));
    return {};
}
