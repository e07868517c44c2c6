#include "app/records/datacontrol.h"

#include <QRegularExpression>

bool recordOrderOf(const QString& recordSource, RecordOrder& order)
{
    const QString source = recordSource.simplified();
    if (source.compare(QLatin1String("DATA1"), Qt::CaseInsensitive) == 0) {
        order = RecordOrder::Table;
        return true;
    }
    static const QRegularExpression byName(
        QStringLiteral("^SELECT \\* FROM DATA1 ORDER BY (\\[Name\\]|Name)( ASC| DESC)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = byName.match(source);
    if (!match.hasMatch())
        return false;
    order = match.captured(2).trimmed().compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0
                ? RecordOrder::NameDescending
                : RecordOrder::NameAscending;
    return true;
}

Status DataControl::Refresh()
{
    RecordOrder order;
    if (!recordOrderOf(recordSource_, order))
        return Status::failure(
            QStringLiteral("The record source \"%1\" is not supported.").arg(recordSource_));
    if (!database_.isOpen()) {
        if (Status s = database_.OpenDatabase(databaseName_); !s.ok())
            return s;
    }
    return recordset_.load(&database_, order);
}

DataControl::DataControl()
{
    // The record set never outlives its connection: closing either closes both.
    database_.setCloseStep([this] { return recordset_.close(); });
}

Status DataControl::ExecuteOnSecondConnection(const QString& statement)
{
    if (Status s = secondConnection_.OpenDatabase(databaseName_); !s.ok())
        return s;
    return secondConnection_.Execute(statement);
}
